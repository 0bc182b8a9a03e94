#include "base/KxLaunch.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <optional>
#include <sstream>
#include <sys/stat.h>

using Args = std::vector<std::string>;

TEST(KxLaunch, CommandLineSplitting) {
    struct Case {
        const char* line;
        Args args;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"prog", {"prog"}},
        {"prog  a\tb", {"prog", "a", "b"}},
        {"\"/opt/my app/run\" \"a b\" c", {"/opt/my app/run", "a b", "c"}},
        {"prog \"\"", {"prog", ""}},
        {"prog \"say \"\"hi\"\"\"", {"prog", "say \"hi\""}},
        {"prog \\\"x", {"prog", "\"x"}},
        {"prog a;rm -rf $(x)", {"prog", "a;rm", "-rf", "$(x)"}},
        {"prog \"unclosed arg", {"prog", "unclosed arg"}},
    };
    for (const Case& c : cases) EXPECT_EQ(kx::SplitCommandLine(c.line), c.args) << c.line;
}

TEST(KxLaunch, ArgumentsReachTheProgramUnchanged) {
    TempDir d;
    std::string script = d.file("echoargs");
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$OUT\"\nexit 0\n";
    ::chmod(script.c_str(), 0755);
    std::string out = d.file("out.txt");
    ::setenv("OUT", out.c_str(), 1);

    std::string hostile = d.file("a b;touch " + d.file("pwned") + ";$(touch " + d.file("pwned2") + ")'\"");
    ASSERT_EQ(kx::StartProgram({script, hostile, "", "x"}, true), 1);
    std::ifstream in(out);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), hostile + "\n\nx\n");
    EXPECT_FALSE(std::filesystem::exists(d.file("pwned")));
    EXPECT_FALSE(std::filesystem::exists(d.file("pwned2")));
    ::unsetenv("OUT");
}

TEST(KxLaunch, ResultsOfStartingAndWaiting) {
    EXPECT_EQ(kx::StartProgram({}, true), 0);
    EXPECT_EQ(kx::StartProgram({""}, false), 0);
    EXPECT_EQ(kx::StartProgram({"no-such-program-varnia"}, false), 0);
    EXPECT_EQ(kx::StartProgram({"true"}, true), 1);
    EXPECT_EQ(kx::StartProgram({"false"}, true), 0);
    EXPECT_EQ(kx::StartProgram({"false"}, false), 1); // started is enough when not waiting
}

// Started without waiting, the end is still reported: how it ended, once, from another thread;
// a program that never started reports nothing.
TEST(KxLaunch, TheEndOfAProgramNotWaitedForIsReported) {
    struct Case {
        std::vector<std::string> argv;
        int started;
        std::optional<bool> succeeded; // nothing when no report may come
    };
    const Case cases[] = {{{"true"}, 1, true}, {{"false"}, 1, false}, {{"sh", "-c", "exit 3"}, 1, false},
                          {{"no-such-program-varnia"}, 0, std::nullopt}, {{}, 0, std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argv.empty() ? std::string("(none)") : c.argv[0]);
        // The reaping thread owns its share of the promise: the test may end before it returns.
        auto ended = std::make_shared<std::promise<bool>>();
        std::future<bool> result = ended->get_future();
        EXPECT_EQ(kx::StartProgram(c.argv, [ended](bool succeeded) { ended->set_value(succeeded); }), c.started);
        if (c.succeeded) {
            ASSERT_EQ(result.wait_for(std::chrono::seconds(30)), std::future_status::ready);
            EXPECT_EQ(result.get(), *c.succeeded);
        } else {
            EXPECT_EQ(result.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
        }
    }
}
