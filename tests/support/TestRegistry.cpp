#include "support/TestRegistry.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace TestSupport {

namespace {

// Built on first use: the registrations run while the program's statics are made, in an
// order no one chooses.
std::map<std::string, TestRegistry::Run> &registeredTests()
{
    static std::map<std::string, TestRegistry::Run> tests;
    return tests;
}

std::string testName(const char *sourcePath)
{
    std::string name(sourcePath);
    const std::string::size_type slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::string::size_type dot = name.find('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

} // namespace

bool TestRegistry::add(const char *sourcePath, Run run)
{
    const bool added = registeredTests().emplace(testName(sourcePath), run).second;
    if (!added)
        std::fprintf(stderr, "Two tests are named %s\n", testName(sourcePath).c_str());
    return added;
}

int TestRegistry::run(int argc, char **argv)
{
    const auto test = argc >= 2 ? registeredTests().find(argv[1]) : registeredTests().end();
    if (test == registeredTests().end()) {
        std::fprintf(stderr, "Usage: %s TEST [Qt Test options]\nTests:\n", argv[0]);
        for (const auto &registered : registeredTests())
            std::fprintf(stderr, "  %s\n", registered.first.c_str());
        return 2;
    }
    // The test sees the program's name and Qt Test's options, as if it were the program.
    std::vector<char *> arguments {argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    return test->second(int(arguments.size()) - 1, arguments.data());
}

} // namespace TestSupport
