# The publisher's ECDSA P-256 public key, read from its PEM file with
# openssl at configure time, built into an exe as a generated source.

# The SubjectPublicKeyInfo of every uncompressed P-256 key starts with these
# bytes (algorithm id-ecPublicKey, curve prime256v1, bit string, 0x04); the
# 64 bytes of X and Y follow.
set(UPDATER_P256_SPKI_PREFIX "3059301306072a8648ce3d020106082a8648ce3d03010703420004")

# Sets out_var to the C initialiser of the key's 64 bytes. A file that is not
# a P-256 public key stops the configuration.
function(updater_key_initializer pem out_var)
    find_program(OPENSSL openssl REQUIRED)
    set(der ${CMAKE_BINARY_DIR}/keys/public-key.der)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/keys)
    execute_process(COMMAND ${OPENSSL} pkey -pubin -in ${pem} -outform DER -out ${der}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "UPDATER_PUBLIC_KEY ${pem} is not a PEM public key: ${err}")
    endif()
    file(READ ${der} hex HEX)
    file(REMOVE ${der})
    string(LENGTH "${UPDATER_P256_SPKI_PREFIX}" prefix_length)
    string(SUBSTRING "${hex}" 0 ${prefix_length} prefix)
    string(LENGTH "${hex}" length)
    if(NOT prefix STREQUAL UPDATER_P256_SPKI_PREFIX OR NOT length EQUAL 182)
        message(FATAL_ERROR "UPDATER_PUBLIC_KEY ${pem} is not an ECDSA P-256 public key")
    endif()
    string(SUBSTRING "${hex}" ${prefix_length} 128 point)
    string(REGEX REPLACE "(..)" "0x\\1," bytes "${point}")
    set(${out_var} "${bytes}" PARENT_SCOPE)
endfunction()

# Makes a key pair in dir with tools/sign-update, once: later configurations
# keep the key, so signed files made with it stay valid.
function(updater_make_key dir)
    if(EXISTS ${dir}/update-private.pem)
        return()
    endif()
    execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/tools/sign-update keygen ${dir}
                    RESULT_VARIABLE rc OUTPUT_QUIET)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "tools/sign-update could not make a key in ${dir}")
    endif()
endfunction()

# Writes the key source of the settings library `name`: the key given as an
# initialiser from updater_key_initializer, or none when it is empty.
function(updater_key_source name initializer out_var)
    if(initializer STREQUAL "")
        set(UPDATER_KEY_BUILT_IN false)
        set(UPDATER_KEY_BYTES "")
    else()
        set(UPDATER_KEY_BUILT_IN true)
        set(UPDATER_KEY_BYTES "${initializer}")
    endif()
    set(source ${CMAKE_BINARY_DIR}/keys/${name}.cpp)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/UpdateKey.cpp.in ${source} @ONLY)
    set(${out_var} ${source} PARENT_SCOPE)
endfunction()
