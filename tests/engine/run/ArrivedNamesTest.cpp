#include "engine/FileEntry.h"
#include "engine/platform/PathNames.h"
#include "engine/run/ArrivedNames.h"
#include "tests/support/FaultyFileServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Code page 932 lead bytes, and letter case counting or not, on any platform.
class CaseRule : public FaultyFileServices
{
public:
    CaseRule(FileServices& real, bool ignoresCase) : FaultyFileServices(real), ignoresCase(ignoresCase)
    {
        UseCp932LeadBytes();
    }
    bool IgnoresCase() const override { return ignoresCase; }

private:
    bool ignoresCase;
};

}  // namespace

// Long random sequences against a plain map, over enough names that the table grows and
// drops left names many times over.
TEST(ArrivedNames, AnswersAsAMapOfTheFoldedNamesWould)
{
    CaseRule caseExact(PlatformFileServices(), false);
    CaseRule caseBlind(PlatformFileServices(), true);
    // "\x83\x41" and "\x83\x61" are two katakana whose second bytes are "A" and "a".
    std::vector<std::string> pool = {"a.jpg",        "A.JPG",        "b.jpg",        "~ren0001.tmp",
                                     "~REN0001.TMP", "\x83\x41.txt", "\x83\x61.txt", "z"};
    for (int i = 0; i < 300; ++i) {
        pool.push_back("n" + std::to_string(i) + ".jpg");
        pool.push_back("N" + std::to_string(i) + ".JPG");
    }
    for (FileServices* fs : {static_cast<FileServices*>(&caseExact), static_cast<FileServices*>(&caseBlind)}) {
        SCOPED_TRACE(fs->IgnoresCase() ? "ignoring case" : "case counts");
        std::vector<std::unique_ptr<FileEntry>> entries;
        for (int i = 0; i < 4; ++i)
            entries.emplace_back(new FileEntry("folder", *fs));
        ArrivedNames arrived(*fs);
        std::map<std::string, const FileEntry*> model;
        auto key = [&](const std::string& name) { return fs->IgnoresCase() ? FoldedName(name.c_str(), *fs) : name; };

        std::mt19937 random(7);
        for (int step = 0; step < 60000; ++step) {
            const std::string& name = pool[random() % pool.size()];
            const FileEntry* waiting = random() % 5 == 0 ? nullptr : entries[random() % entries.size()].get();
            switch (random() % 3) {
            case 0:
                arrived.Arrive(name.c_str(), waiting);
                model[key(name)] = waiting;
                break;
            case 1: {
                arrived.Leave(name.c_str(), waiting);
                auto found = model.find(key(name));
                if (found != model.end() && found->second == waiting)
                    model.erase(found);
                break;
            }
            default: {
                FileEntry& asking = *entries[random() % entries.size()];
                std::strcpy(asking.currentName, name.c_str());
                auto found = model.find(key(name));
                ASSERT_EQ(arrived.HoldsAnotherFile(asking), found != model.end() && found->second != &asking)
                    << "step " << step << ": " << name;
            }
            }
        }
    }
}
