// Which redirect targets a download may move on to, without a server.
#include <gtest/gtest.h>

#include <string>

#include "download/RedirectChain.h"

TEST(RedirectChain, FollowsOnlyTheFiveRedirectStatuses)
{
    for (DWORD status : {301u, 302u, 303u, 307u, 308u})
        EXPECT_TRUE(IsRedirectStatus(status)) << status;
    for (DWORD status : {0u, 200u, 300u, 304u, 305u, 306u, 309u, 401u, 407u})
        EXPECT_FALSE(IsRedirectStatus(status)) << status;
}

TEST(RedirectChain, ResolvesEachLocationAgainstTheCurrentUrl)
{
    struct Case {
        const char* from;
        const char* location;
        const char* to;  // null: refused
    } cases[] = {
        {"http://h:81/soft/zevi/upt.htm", "/pkg/a.exe", "http://h:81/pkg/a.exe"},
        {"http://h:81/soft/zevi/upt.htm", "new.htm", "http://h:81/soft/zevi/new.htm"},
        {"http://h:81/soft/zevi/upt.htm", "../b.exe?v=2", "http://h:81/soft/b.exe?v=2"},
        {"http://h:81/soft/zevi/upt.htm", "//other:82/c.exe", "http://other:82/c.exe"},
        {"http://h:81/a", "https://other/d.exe", "https://other/d.exe"},
        {"https://h/a", "https://other:8443/e.exe", "https://other:8443/e.exe"},
        {"https://h/a", "/f.exe", "https://h/f.exe"},
        {"https://h/a", "http://h/a", nullptr},           // down from HTTPS
        {"https://h/a", "//h:80/a", "https://h:80/a"},  // keeps the scheme
        {"http://h/a", "ftp://h/a.exe", nullptr},
        {"http://h/a", "file:///C:/windows/win.ini", nullptr},
        {"http://h/a", "http://h/a", nullptr},  // to itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.location);
        RedirectChain chain(c.from);
        EXPECT_EQ(c.to != nullptr, chain.Follow(c.location));
        EXPECT_STREQ(c.to != nullptr ? c.to : c.from, chain.CurrentUrl());
    }
}

TEST(RedirectChain, AllowsTenRedirectsAndNoMore)
{
    RedirectChain chain("http://h/0");
    for (size_t i = 1; i <= RedirectChain::kMaxRedirects; ++i)
        ASSERT_TRUE(chain.Follow(("/" + std::to_string(i)).c_str())) << i;
    EXPECT_STREQ("http://h/10", chain.CurrentUrl());
    EXPECT_FALSE(chain.Follow("/11"));
    EXPECT_STREQ("http://h/10", chain.CurrentUrl());
}

TEST(RedirectChain, RefusesToComeBackToAUrlAlreadyRequested)
{
    RedirectChain chain("http://h/a");
    ASSERT_TRUE(chain.Follow("/b"));
    ASSERT_TRUE(chain.Follow("/c"));
    EXPECT_FALSE(chain.Follow("/a"));
    EXPECT_FALSE(chain.Follow("http://h/b"));
    EXPECT_STREQ("http://h/c", chain.CurrentUrl());
}
