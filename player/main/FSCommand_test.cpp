#include "FSCommand.h"

#include <gtest/gtest.h>

TEST(FSCommand, Dispatch) {
    struct Case {
        std::string command, args;
        FSCommandAction::Kind kind;
        std::string address;
    } cases[] = {
        {"kefoweb", "/a/zodivodedozi/", FSCommandAction::OpenPage,
         "http://127.0.0.1:8321/a/zodivodedozi/"},
        {"kefoweb", "/plus/list.php?q=100%25&x=1", FSCommandAction::OpenPage,
         "http://127.0.0.1:8321/plus/list.php?q=100%25&x=1"},
        {"kefoweb", "@evil.example/page", FSCommandAction::Ignore, ""},
        {"kefoweb", ".evil.example/", FSCommandAction::Ignore, ""},
        {"kefoweb", "", FSCommandAction::Ignore, ""},
        {"kefoend", "", FSCommandAction::NextEpisode, ""},
        {"kefoend", "anything", FSCommandAction::NextEpisode, ""},
        {"KEFOEND", "", FSCommandAction::Ignore, ""},
        {"kefoweb ", "/x", FSCommandAction::Ignore, ""},
        {"quit", "", FSCommandAction::Ignore, ""},
    };
    for (const auto& c : cases) {
        const auto a = DispatchFSCommand(c.command, c.args, "127.0.0.1:8321");
        EXPECT_EQ(a.kind, c.kind) << c.command << " " << c.args;
        EXPECT_EQ(a.address, c.address) << c.command << " " << c.args;
    }
}
