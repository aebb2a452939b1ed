// Reads little-endian fields from a resource's bytes. Reading past the end
// gives zeros and marks the reader as overrun, so that a truncated resource
// fails its test instead of reading beyond its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

class ByteReader {
public:
    // Keeps its own copy, so that it may read a temporary.
    explicit ByteReader(std::string bytes, size_t at = 0) : m_bytes(std::move(bytes)), m_at(at) {}

    uint8_t Byte() { return static_cast<uint8_t>(Field(1)); }
    uint16_t Word() { return static_cast<uint16_t>(Field(2)); }
    uint32_t Dword() { return static_cast<uint32_t>(Field(4)); }
    int16_t Short() { return static_cast<int16_t>(Word()); }

    // A NUL-terminated UTF-16 string; the terminator is consumed.
    std::wstring WideString()
    {
        std::wstring text;
        for (wchar_t ch = Word(); ch != 0 && !m_overrun; ch = Word())
            text += ch;
        return text;
    }

    // Moves to the next multiple of four bytes from the start.
    void AlignToDword() { m_at = (m_at + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t count) { m_at += count; }
    void Seek(size_t at) { m_at = at; }

    size_t Offset() const { return m_at; }
    bool Overrun() const { return m_overrun || m_at > m_bytes.size(); }

private:
    uint32_t Field(size_t size)
    {
        if (m_at + size > m_bytes.size()) {
            m_overrun = true;
            m_at = m_bytes.size();
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= static_cast<uint32_t>(static_cast<uint8_t>(m_bytes[m_at + i])) << (8 * i);
        m_at += size;
        return value;
    }

    std::string m_bytes;
    size_t m_at;
    bool m_overrun = false;
};
