#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/RunRename.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Code page 932 with the backslash for a separator, as on the target systems, and a
// listing made up by the test.
class Cp932Listing : public FaultyFileServices
{
public:
    explicit Cp932Listing(std::vector<std::string> names)
        : FaultyFileServices(PlatformFileServices()), names(names), next(0)
    {
        UseCp932LeadBytes();
    }

    char Separator() const override { return '\\'; }

    SearchHandle FindFirst(const char*, FoundFile& first) override
    {
        next = 0;
        return Deliver(first) == FindNextFound ? this : nullptr;
    }
    FindNextResult FindNext(SearchHandle, FoundFile& found) override { return Deliver(found); }
    void FindClose(SearchHandle) override {}

private:
    FindNextResult Deliver(FoundFile& found)
    {
        if (next >= names.size())
            return FindNextEnd;
        found = FoundFile();
        std::strncpy(found.name, names[next++].c_str(), sizeof found.name - 1);
        return FindNextFound;
    }

    std::vector<std::string> names;
    size_t next;
};

}  // namespace

TEST(EndsWithSeparator, LooksAtTheLastWholeCharacter)
{
    Cp932Listing fs({});
    struct Case { const char* folder; const char* entryFolder; } cases[] = {
        {"C:\\photos", "C:\\photos\\"},
        {"C:\\photos\\", "C:\\photos\\"},
        {"C:\\", "C:\\"},
        // ソ (83 5C) and 表 (95 5C) end in the backslash's byte but are no separators.
        {"C:\\\x83\x5C", "C:\\\x83\x5C\\"},
        {"C:\\\x95\x5C", "C:\\\x95\x5C\\"},
        {"C:\\\x95\x5C\\", "C:\\\x95\x5C\\"},
        {"C:\\a\\\\", "C:\\a\\\\"},
    };
    for (const Case& c : cases) {
        FileEntry entry(c.folder, fs);
        EXPECT_STREQ(c.entryFolder, entry.folder.Data()) << c.folder;
    }
}
