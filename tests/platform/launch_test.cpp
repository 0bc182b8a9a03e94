#include "base/KxLaunch.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
