#include "tests/stress/Scenario.h"

#include "tests/stress/Dice.h"
#include "tests/stress/Oracle.h"
#include "tests/stress/StressFolder.h"
#include "tests/support/NameModel.h"
#include "tests/support/TakenHeads.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

// Code page 932 characters whose second byte is 0x5C, the backslash: ソ 十 表 能 予 構 申 貼 噂.
const std::vector<std::string> kBackslashSecondByte = {"\x83\x5C", "\x8F\x5C", "\x95\x5C", "\x94\x5C", "\x97\x5C",
                                                       "\x8D\x5C", "\x90\x5C", "\x93\x5C", "\x89\x5C"};
// Other double-byte characters: ア (second byte "A"), ヂ (second byte "a"), ポ (second byte "|"), 日.
const std::vector<std::string> kOtherDoubleByte = {"\x83\x41", "\x83\x61", "\x83\x7C", "\x93\xFA"};
// Characters code page 932 cannot hold, as the engine writes them: が as a Mac writes it (か and
// the combining voiced mark), the wave dash 〜, é and É (one name to Windows), Korean 한글,
// simplified Chinese 们这, an emoji, and the yen sign, which has only a look-alike.
const std::vector<std::string> kEscaped = {"\x82\xA9<U+3099>", "<U+301C>",         "<U+00E9>",  "<U+00C9>",
                                           "<U+D55C><U+AE00>", "<U+4EEC><U+8FD9>", "<U+1F600>", "<U+00A5>"};

// Some extensions whose short form another mask takes: c.jpg_old and d.jpgx are C~1.JPG and
// D~1.JPG there, e.html is E~1.HTM.
const std::vector<std::string> kExtensions = {".txt", ".jpg", ".TXT",     ".JPG",  "",      ".tar.gz", ".Txt",
                                              ".tmp", ".c",   ".jpg_old", ".jpgx", ".html", ".jpeg"};

// A name that the platform takes as a file name of its own.
bool Creatable(const std::string& key)
{
    if (key.empty() || key == "." || key == ".." || key.size() > 255 * 2)
        return false;
    if (!kWindows)
        return key.find('/') == std::string::npos && key.find('\0') == std::string::npos && key.size() <= 255;
    // Windows programs cannot make files under device names; other systems can, but then no
    // Windows program reaches them.
    if (NamesADevice(key))
        return false;
    for (size_t i = 0; i < key.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(key[i]);
        unsigned codePoint = 0;
        const size_t escape = EscapeAt(key, i, codePoint);
        if (IsLeadModel(c, true) || escape > 0) {
            i += escape > 0 ? escape - 1 : 1;
            continue;
        }
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return false;
    }
    char last = key[key.size() - 1];
    return last != '.' && last != ' ' && StoredBytes(key) <= 255;
}

}  // namespace

std::string Upper(const std::string& text)
{
    std::string upper = text;
    for (size_t i = 0; i < upper.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(upper[i]);
        if (IsLeadModel(c, true) && kWindows) {
            ++i;
            continue;
        }
        // é, the one small letter the names hold beyond the code page, in the engine's form.
        if (kWindows && upper.compare(i, 8, "<U+00E9>") == 0)
            upper[i + 5] = 'C';
        if (c >= 'a' && c <= 'z')
            upper[i] = static_cast<char>(c - 0x20);
    }
    return upper;
}

namespace {

class Generator
{
public:
    Generator(Scenario& scenario, Dice& random) : scenario(scenario), random(random)
    {
        SplitPatternModel(scenario.pattern, prefix, suffix);
    }

    // The new name that number start + k would get with this extension.
    std::string TargetName(int k, const std::string& extension) const
    {
        int32_t number = static_cast<int32_t>(scenario.startNumber + static_cast<uint32_t>(k));
        return prefix + NumberText(number, scenario.padDigits, scenario.digitCount) + suffix + extension;
    }

    std::string Extension()
    {
        if (kWindows && random.Percent(10))
            return "." + random.Pick(kBackslashSecondByte);
        // Mostly é, which a name in capitals (Upper) holds as É: one name to Windows.
        if (kWindows && random.Percent(12))
            return "." + (random.Percent(50) ? std::string("<U+00E9>") : random.Pick(kEscaped));
        if (!kWindows && random.Percent(4))
            return random.Pick(std::vector<std::string>{".\xFF", ".a\\b", ". "});
        return random.Pick(kExtensions);
    }

    std::string Word()
    {
        static const std::vector<std::string> words = {"a", "b", "photo", "IMG", "readme", "x", "data", "Q", "log"};
        std::string word = random.Pick(words);
        if (random.Percent(50))
            word += std::to_string(random.Below(100));
        return word;
    }

    std::string LongName()
    {
        std::string extension = random.Percent(50) ? ".txt" : "";
        if (kWindows && random.Percent(50)) {
            // Near 255 bytes with double-byte characters in it. Wine keeps names as UTF-8 of
            // at most 255 bytes, three for each of these characters, so only a few fit.
            std::string name;
            int characters = random.Between(1, 5);
            for (int i = 0; i < characters; ++i)
                name += random.Pick(kBackslashSecondByte);
            size_t length = static_cast<size_t>(random.Between(245, 255 - characters)) - extension.size();
            return name + std::string(length - name.size(), 'k') + extension;
        }
        size_t length = static_cast<size_t>(random.Between(240, 255)) - extension.size();
        return std::string(length, static_cast<char>('a' + random.Below(26))) + extension;
    }

    std::string FileName(int fileCount)
    {
        int kind = static_cast<int>(random.Below(100));
        // Each draw on a line of its own: the order in which a call's arguments are worked out
        // differs between compilers, and so would the scenarios.
        if (kind < 30) {
            int k = random.Between(-3, fileCount + 3);
            return TargetName(k, Extension());
        }
        if (kind < 42) {
            char name[32];
            int number = random.Percent(90) ? random.Between(0, 15) : random.Between(9998, 10001);
            std::snprintf(name, sizeof name, "~ren%04d.tmp", number);
            return random.Percent(20) ? Upper(name) : std::string(name);
        }
        if (kind < 50) {
            int k = random.Between(-1, fileCount + 1);
            return Upper(TargetName(k, Extension()));
        }
        if (kind < 56) {
            std::string stem = random.Pick(std::vector<std::string>{"a.b.c", "x.tar", "..a", "v1.2.3", "a..b"});
            return stem + Extension();
        }
        if (kind < 62)
            return random.Percent(50) ? Word() : std::to_string(random.Below(1000));
        if (kind < 64 && !kWindows) {
            std::string word = Word();
            return word + random.Pick(std::vector<std::string>{".", " ", "..", ". ", "a .", ".txt."});
        }
        if (kind < 67)
            return "." + Word();
        if (kind < 71)
            return LongName();
        if (kind < 81 && kWindows)
            return DoubleByteName();
        if (kind < 87 && kWindows)
            return EscapedName();
        if (kind < 81 && !kWindows)
            return OddBytesName();
        std::string word = Word();
        return word + Extension();
    }

    std::string DoubleByteName()
    {
        std::string name;
        int characters = random.Between(1, 4);
        for (int i = 0; i < characters; ++i)
            name += random.Percent(70) ? random.Pick(kBackslashSecondByte) : random.Pick(kOtherDoubleByte);
        return name + (random.Percent(30) ? "." + random.Pick(kBackslashSecondByte) : Extension());
    }

    std::string EscapedName()
    {
        // 10月〜12月.xlsx with the wave dash a Mac writes; ¥, whose look-alike is "\".
        static const std::vector<std::string> names = {"a<U+00A5>b.txt", "<U+00A5>.jpg", "a<U+00A5>..<U+00A5>b.txt",
                                                       "10\x8C\x8E<U+301C>12\x8C\x8E.xlsx", "caf<U+00E9>.jpg"};
        if (random.Percent(30))
            return random.Pick(names);
        std::string name = random.Percent(50) ? Word() : std::string();
        for (int i = random.Between(1, 3); i > 0; --i)
            name += random.Pick(kEscaped);
        // Now and then near 255 bytes in the engine's form or beyond, which is no name it keeps,
        // though it is well within the 255 bytes of UTF-8 Wine keeps.
        const size_t length = random.Percent(25) ? static_cast<size_t>(random.Between(235, 275)) : 0;
        while (name.size() < length)
            name += "<U+1F600>";
        return name + Extension();
    }

    std::string OddBytesName()
    {
        static const std::vector<std::string> pieces = {"\\",       ":",    "*", "?", " ",   "\xE9",
                                                        "\x83\x5C", "\x80", ".", "~", "\x7F"};
        std::string name = Word();
        int count = random.Between(1, 3);
        for (int i = 0; i < count; ++i) {
            uint32_t at = random.Below(static_cast<uint32_t>(name.size() + 1));
            name.insert(at, random.Pick(pieces));
        }
        return name + Extension();
    }

    bool Take(const std::string& key)
    {
        if (!Creatable(key))
            return false;
        return taken.insert(CaseFolded(key)).second;
    }

    bool IsTaken(const std::string& key) const { return taken.count(CaseFolded(key)) != 0; }

    Scenario& scenario;
    Dice& random;
    std::string prefix;
    std::string suffix;
    std::set<std::string> taken;
};

std::string ChoosePattern(Dice& random)
{
    int kind = static_cast<int>(random.Below(100));
    if (kind < 25)
        return "?";
    if (kind < 60)
        return random.Pick(std::vector<std::string>{"", "img?", "IMG?", "?_x", "a?b", "abc", "??", "x?y?z", "?.bak",
                                                    "~ren?", "photo-?", "?.", "? ", "a.?.b"});
    if (kind < 68)
        return std::string(static_cast<size_t>(random.Between(235, 252)), 'p') + "?";
    if (kind < 80 && kWindows)
        return random.Pick(std::vector<std::string>{"\x83\x5C?", "?\x95\x5C", "com?", "lpt?", "nul?", "a:?", "?:x",
                                                    "a<?", "\x83\x5C?\x83\x5C"});
    if (kind < 80 && !kWindows)
        return random.Pick(std::vector<std::string>{"a\\?", "?:x", "\xE9?", "\x83\x5C?", "*?", "? x", "com?", "LPT?",
                                                    "nul?", "?..", "a\t?", "?|"});
    if (kind < 84)
        return random.Pick(std::vector<std::string>{kWindows ? "d\\?" : "d/?", kWindows ? "..\\?" : "../?"});
    return random.Pick(std::vector<std::string>{"img?", "?", "a?b", "IMG_?"});
}

uint32_t ChooseStart(Dice& random, int fileCount)
{
    int kind = static_cast<int>(random.Below(100));
    if (kind < 30)
        return 0;
    if (kind < 60)
        return random.Below(21);
    if (kind < 75)
        return 2147483647u - random.Below(static_cast<uint32_t>(fileCount + 20));
    if (kind < 80)
        return random.Pick(std::vector<uint32_t>{2147483648u, 4294967295u, 3000000000u});
    if (kind < 85)
        return random.Pick(std::vector<uint32_t>{9, 99, 999, 9999, 99999, 999999999});
    return random.Below(100000);
}

void ChooseJob(Scenario& scenario, Dice& random, int fileCount)
{
    scenario.pattern = ChoosePattern(random);
    scenario.padDigits = random.Percent(70);
    scenario.digitCount = random.Percent(80) ? random.Between(1, 4) : random.Between(1, 10);
    scenario.startNumber = ChooseStart(random, fileCount);
    scenario.order = random.Percent(97) ? random.Between(0, 5) : random.Pick(std::vector<int>{12, -1});
    int kind = static_cast<int>(random.Below(100));
    if (kind < 40)
        scenario.mask = "*.*";
    else if (kind < 43)
        scenario.mask = random.Pick(kWindows ? std::vector<std::string>{"sub\\*.*", "a\\*", "..\\*", "*\\*", "a/*"}
                                             : std::vector<std::string>{"sub/*.*", "a/*", "../*", "*/*"});
    else
        scenario.mask = random.Pick(std::vector<std::string>{
            "*",    "*.txt", "*.TXT", "a*",    "?.*",       "??*", "~ren*.tmp", "*0*",   "*.",    "*.jpg", "0*",
            "*.t*", "???.*", "*.htm", "*.jpe", "file?.txt", "?.?", "a.*",       "*.t?t", "??.??", "x?*."});
}

void ChooseFiles(Scenario& scenario, Generator& names, Dice& random, int fileCount)
{
    int folders = random.Percent(40) ? 0 : random.Between(1, 3);
    for (int i = 0; i < folders; ++i) {
        std::string name;
        if (random.Percent(60)) {
            int k = random.Between(0, fileCount + 2);
            name = names.TargetName(k, names.Extension());
        } else {
            name = random.Pick(std::vector<std::string>{"sub", "d", "a", "SUB"});
        }
        if (names.Take(name))
            scenario.subFolders.push_back(name);
    }
    for (const std::string& folder : scenario.subFolders) {
        int inside = random.Between(0, 2);
        for (int i = 0; i < inside; ++i) {
            std::string name = random.Percent(50) ? names.TargetName(random.Between(0, fileCount), ".txt") : "b.txt";
            if (i == 1)
                name = "inner" + std::to_string(i) + ".txt";
            scenario.files.push_back(FileSpec{folder + "/" + name, false, false, false, DateSpec()});
        }
    }
    // Now and then the whole batch is already numbered, shifted against its new numbers so
    // that every target is another file's name: renumbering in place, shifts, swaps and
    // rotations, depending on the order.
    bool numbered = random.Percent(15);
    int shift = random.Between(-2, 2);
    // On Windows the numbered names are now and then in capitals: with é, which they then hold
    // as É, they are case pairs of the new names.
    std::string extension = kWindows && random.Percent(25) ? ".<U+00E9>" : names.Extension();
    for (int i = 0; i < fileCount; ++i) {
        std::string name = numbered ? names.TargetName(i + shift, random.Percent(90) ? extension : names.Extension())
                                    : names.FileName(fileCount);
        if (numbered && kWindows && random.Percent(40))
            name = Upper(name);
        if (!names.Take(name))
            continue;
        scenario.files.push_back(FileSpec{name, random.Percent(8), random.Percent(8), false, DateSpec()});
        // The look-alike of "a¥b.txt" is "a\b.txt": give it a file to lead to.
        if (name.find("a<U+00A5>b.txt") != std::string::npos && random.Percent(60) && names.Take("a")) {
            scenario.subFolders.push_back("a");
            scenario.files.push_back(FileSpec{"a/b.txt", false, false, false, DateSpec()});
        }
    }
}

// A name of the folder's top level that a file holds, or "" when there is none.
std::string SomeTopLevelFile(const Scenario& scenario, Dice& random)
{
    std::vector<std::string> candidates;
    for (const FileSpec& file : scenario.files) {
        if (file.key.find('/') == std::string::npos)
            candidates.push_back(file.key);
    }
    return candidates.empty() ? std::string() : random.Pick(candidates);
}

// A text as an editor saves it: lines of words, some of them empty, a final line end or not,
// and now and then a first line ending in the separator. No TAB, so no step line: none of
// them is anything a run could have written.
std::string MakeDocument(Dice& random)
{
    static const std::vector<std::string> words = {"shopping", "milk", "Dear Sir,", "C:",       "photos",   " ",
                                                   ".",        "\\",   "/",         "\x83\x5C", "\x95\x5C", "\x82\xA0"};
    const int lines = random.Between(1, 5);
    std::string document;
    for (int i = 0; i < lines; ++i) {
        const int count = i > 0 && random.Percent(25) ? 0 : random.Between(1, 4);
        for (int n = 0; n < count; ++n)
            document += random.Pick(words);
        if (i == 0 && random.Percent(40))
            document += PathSeparator();
        if (i + 1 < lines || random.Percent(60))
            document += "\r\n";
    }
    return document;
}

// The top a full path begins with: a drive or a share on Windows, "/" elsewhere.
std::string FullPathTop(Dice& random)
{
    return kWindows ? random.Pick(std::vector<std::string>{"C:\\", "d:/", "\\\\server\\share\\"}) : "/";
}

// An earlier run's log, with the undos after it, now and then a step that failed, cut short
// after its first step line and ended by NUL bytes (a power cut) now and then. Its folder
// line is the folder as it was typed, always a full path: with a final separator or without.
std::string MakeEarlierLog(uint64_t index, Dice& random)
{
    const std::string typed = FullPathTop(random) + "earlier run " + std::to_string(index);
    const std::string folder = (random.Percent(50) ? typed + PathSeparator() : typed) + "\r\n";
    static const std::vector<std::string> reasons = {"move failed (error 5)", "new name taken",
                                                     "move failed (error -2)",
                                                     "move failed, file left under its temporary name"};
    std::string log = folder + "old.txt\t->\t000.txt\r\n";
    if (random.Percent(30))
        log += "two.txt\t->\t001.txt\t" + random.Pick(reasons) + "\r\n";
    for (int undos = random.Between(0, 2); undos > 0; --undos) {
        log += "\r\n" + folder + (undos % 2 == 0 ? "old.txt\t->\t000.txt\r\n" : "000.txt\t->\told.txt\r\n");
        if (random.Percent(60))
            log += "\tundo finished\r\n";
    }
    if (random.Percent(30)) {
        const int firstStepEnd = static_cast<int>(log.find('\r', log.find('\t')));
        log.resize(static_cast<size_t>(random.Between(firstStepEnd + 1, static_cast<int>(log.size()))));
    }
    if (random.Percent(15))
        log += std::string(static_cast<size_t>(random.Between(1, 600)), '\0');
    return log;
}

void ChooseLog(Scenario& scenario, Generator& names, Dice& random, int fileCount)
{
    int kind = static_cast<int>(random.Below(100));
    scenario.logPlace = kind < 22   ? LogElsewhere
                        : kind < 30 ? LogElsewhereUserFile
                        : kind < 50 ? LogElsewhereExisting
                        : kind < 62 ? LogInFolderNew
                        : kind < 74 ? LogInFolderExisting
                        : kind < 80 ? LogInFolderDotted
                        : kind < 86 ? LogInSubFolder
                        : kind < 90 ? LogMissingFolder
                        : kind < 92 ? LogIsTheFolder
                        : kind < 94 ? LogEmptyPath
                                    : LogOtherName;
    // Documents that look a little like a rename log (steps under a first line that is no full
    // path, a reason no run gives, a cut line first, text after a NUL), and one that does not at all.
    const std::string top = FullPathTop(random);
    const std::vector<std::string> documents = {
        "name\tsize\r\na.txt\t12\r\n",
        "notes\r\na.txt -> 000.txt\r\n",
        "notes\r\na.txt\t->\t000.txt\r\nremember the milk\r\n",
        "C:\\photos\na.txt\t->\t000.txt\n",
        "shopping list",
        std::string("PK\x03\x04\x00\x00", 6),
        "My plan\r\na.txt\t->\t000.txt\r\n",
        "Inventory\r\nwidget\t-\r\n",
        "Shopping\r\nmilk\t\r\n",
        top + "stock\r\nwidget\t->\tgadget\tsold out\r\n",
        top + "stock\r\nmilk\t\r\n",
        top + "stock\r\nwidget\t->\tgadget\r\nbolt\t->\tnut\tmove failed (error five)\r\n",
        top + "stock\r\nwidget\t->\tgadget\r\n" + std::string(3, '\0') + "more\r\n",
    };
    if (scenario.logPlace == LogElsewhereUserFile)
        scenario.userFileContent = random.Percent(30) ? random.Pick(documents) : MakeDocument(random);
    if (scenario.logPlace == LogElsewhereExisting)
        scenario.userFileContent = MakeEarlierLog(scenario.index, random);
    scenario.toldYes = random.Percent(60);
    if (scenario.logPlace == LogInFolderExisting || scenario.logPlace == LogInFolderDotted ||
        scenario.logPlace == LogOtherName) {
        scenario.logKey = SomeTopLevelFile(scenario, random);
        scenario.logTypedName = kWindows && random.Percent(30) ? Upper(scenario.logKey) : scenario.logKey;
        if (scenario.logKey.empty())
            scenario.logPlace = LogInFolderNew;
    }
    if (scenario.logPlace == LogInSubFolder) {
        if (scenario.subFolders.empty()) {
            scenario.logPlace = LogInFolderNew;
        } else {
            scenario.logKey = random.Pick(scenario.subFolders) + "/log.txt";
            scenario.logTypedName = scenario.logKey;
        }
    }
    if (scenario.logPlace == LogInFolderNew) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            std::string name =
                random.Pick(std::vector<std::string>{"log.txt", names.TargetName(random.Between(0, fileCount), ".txt"),
                                                     "~ren0000.tmp", "~ren0001.tmp", "LOG.TXT"});
            if (!names.IsTaken(name) && Creatable(name)) {
                scenario.logKey = name;
                scenario.logTypedName = name;
                break;
            }
        }
        if (scenario.logKey.empty())
            scenario.logPlace = LogElsewhere;
    }
}

FaultKind ChooseFaultKind(Dice& random)
{
    static const int weights[FaultKindCount] = {15, 10, 10, 8, 5, 6, 12, 8, 8, 5, 3, 2, 8, 10};
    int total = 0;
    for (int weight : weights)
        total += weight;
    int draw = static_cast<int>(random.Below(static_cast<uint32_t>(total)));
    for (int kind = 0; kind < FaultKindCount; ++kind) {
        if (draw < weights[kind])
            return static_cast<FaultKind>(kind);
        draw -= weights[kind];
    }
    return FaultMoveFails;
}

void ChooseFaults(Scenario& scenario, Dice& random, int fileCount)
{
    // Mostly a few faults; now and then a storm of them.
    int draw = static_cast<int>(random.Below(100));
    int count = draw < 33 ? 0 : draw < 66 ? 1 : draw < 84 ? 2 : draw < 92 ? 3 : random.Between(6, 15);
    int items = static_cast<int>(scenario.files.size() + scenario.subFolders.size());
    for (int i = 0; i < count; ++i) {
        FaultKind kind = ChooseFaultKind(random);
        int nth = 1;
        switch (kind) {
        case FaultMoveFails:
        case FaultMoveSaysTaken:
        case FaultTargetAppears:
        case FaultFileDeleted:
        case FaultFileRenamed:
            nth = random.Between(1, 2 * fileCount + 2);
            break;
        case FaultExistsErrs:
        case FaultExistsSaysTaken:
            nth = random.Between(1, 2 * fileCount + 4);
            break;
        case FaultLogWritesStop:
            nth = random.Between(1, fileCount + 3);
            break;
        case FaultListingBreaks:
            nth = random.Between(1, items + 3);
            break;
        case FaultFileHeldOpen:
            nth = random.Between(0, fileCount);
            break;
        case FaultStopRequested:
            nth = random.Between(0, 2 * fileCount + 1);
            break;
        default:
            break;
        }
        scenario.faults.push_back(FaultSpec{kind, nth});
    }
}

// A log on a name the batch wants, which cannot be created there, comes from a stream of its
// own, so that the other scenarios of a seed stay as they were.
void ChooseLogOnANewName(Scenario& scenario, const Generator& names, uint64_t seed)
{
    Dice random(seed ^ 0x5A5A0F0F3C3CC3C3ull);
    if (!random.Percent(8))
        return;
    scenario.logPlace = LogOnANewName;
    scenario.logKey.clear();
    scenario.logTypedName.clear();
    scenario.logNewNameAt = random.Percent(70) ? random.Between(0, 40) : -1;
    scenario.logOtherLetters = kWindows && random.Percent(30);
    if (scenario.logNewNameAt < 0) {
        for (int number = 0; scenario.logTypedName.empty(); ++number) {
            char name[32];
            std::snprintf(name, sizeof name, "~ren%04d.tmp", number);
            if (!names.IsTaken(name))
                scenario.logTypedName = scenario.logOtherLetters ? Upper(name) : std::string(name);
        }
    }
    scenario.faults.push_back(FaultSpec{FaultLogNotCreated, 1});
}

// A run of digits with up to two zeros in front, now and then longer than any integer holds,
// now and then in full-width digits of code page 932 (82 4F .. 82 58) mixed with plain ones.
std::string Digits(Dice& random)
{
    std::string digits(random.Below(3), '0');
    if (random.Percent(10)) {
        digits += std::to_string(random.Between(1, 9));
        for (int i = random.Between(19, 24); i > 0; --i)
            digits += static_cast<char>('0' + random.Below(10));
    } else {
        digits += std::to_string(random.Below(30));
    }
    if (!random.Percent(25))
        return digits;
    std::string mixed;
    for (char digit : digits)
        mixed +=
            random.Percent(70) ? std::string("\x82") + static_cast<char>(0x4F + digit - '0') : std::string(1, digit);
    return mixed;
}

void AddNumberedNames(Scenario& scenario, Generator& names, Dice& random)
{
    static const std::vector<std::string> stems = {"img", "IMG", "img_", "a", "photo", "Photo ", "x"};
    static const std::vector<std::string> tails = {"", "", "a", "b2", "_1", "-0"};
    static const std::vector<std::string> extensions = {".jpg", ".JPG", ".png", ".txt", ""};
    for (int i = random.Between(0, 8); i > 0; --i) {
        std::string name = random.Pick(stems);
        name += Digits(random);
        name += random.Pick(tails);
        name += random.Pick(extensions);
        bool logsName =
            CaseFolded(name) == CaseFolded(scenario.logKey) || CaseFolded(name) == CaseFolded(scenario.logTypedName);
        if (!logsName && names.Take(name))
            scenario.files.push_back(FileSpec{name, false, false, false, DateSpec()});
    }
}

// "YYYY:MM:DD HH:MM:SS" of seconds from 1970 within 2019-05-01.
std::string ExifText(int64_t seconds)
{
    int64_t inDay = seconds % 86400;
    char text[24];
    std::snprintf(text, sizeof text, "2019:05:01 %02d:%02d:%02d", static_cast<int>(inDay / 3600),
                  static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60));
    return text;
}

// A camera's Exif date: a few clock times, so that many are equal, now and then with a
// fraction or an offset; or a date no reader may take.
void ChooseExif(DateSpec& date, Dice& random)
{
    TakenTags tags = TakenTags();
    const int64_t clock = 1556704800 + 60 * random.Below(3);
    const std::string subSec = random.Pick(std::vector<std::string>{"", "", "5", "50", "123", "999999"});
    const std::string offset = random.Pick(std::vector<std::string>{"", "", "+09:00", "-05:00", "+00:00"});
    int shape = static_cast<int>(random.Below(100));
    date.taken = TakenAsWritten;
    date.takenSeconds = clock;
    std::string fraction = (subSec + "000000000").substr(0, 9);
    date.takenNanoseconds = std::stoi(fraction);
    if (shape < 70) {
        tags.original = ExifText(clock);
        tags.subSecOriginal = subSec;
        tags.offsetOriginal = offset;
        if (!offset.empty()) {
            date.taken = TakenOffset;
            int minutes = std::stoi(offset.substr(1, 2)) * 60 + std::stoi(offset.substr(4, 2));
            date.offsetMinutes = offset[0] == '-' ? -minutes : minutes;
        }
    } else if (shape < 85) {
        tags.digitized = ExifText(clock);
        tags.subSecDigitized = subSec;
    } else {
        tags.original = random.Pick(std::vector<std::string>{"0000:00:00 00:00:00", "                   ",
                                                             "2019:13:45 10:00:00", "2019:02:30 10:00:00"});
        date.taken = TakenAbsent;
        date.takenNanoseconds = 0;
    }
    static const std::vector<HeadFormat> formats = {HeadJpeg, HeadTiffLittle, HeadTiffBig, HeadPng, HeadWebp, HeadHeic};
    date.head = MakeTakenHead(random.Pick(formats), tags, 0);
}

void ChooseDate(DateSpec& date, Dice& random)
{
    date.dated = true;
    date.written = random.Pick(std::vector<int64_t>{1262304000, 1262304000, 1262307600, 1300000000, 1600000000});
    date.writtenNanoseconds = random.Pick(std::vector<int32_t>{0, 0, 250000000, 999999900});
    date.offline = random.Percent(6);
    int kind = static_cast<int>(random.Below(100));
    if (kind < 15)
        return;
    if (kind < 25) {
        // A video's creation time, in UTC from 1904; 0 means none.
        int64_t utc = random.Percent(30) ? 0 : 1556668800 + 3600 * random.Below(3);
        date.head = Mp4Holding(utc == 0 ? 0 : static_cast<uint64_t>(utc + 2082844800), random.Between(0, 1));
        date.taken = utc == 0 ? TakenAbsent : TakenInUtc;
        date.takenSeconds = utc;
        return;
    }
    ChooseExif(date, random);
}

// The date and natural orders' scenarios come from a stream of their own, so that the
// scenarios of the other orders stay as they were.
void ChooseDates(Scenario& scenario, Generator& names, uint64_t seed)
{
    Dice random(seed ^ 0x0D47E5D47E5D47E5ull);
    if (!random.Percent(30))
        return;
    scenario.order = random.Between(6, 11);
    AddNumberedNames(scenario, names, random);
    // Files of sub-folders too: "a/../b.txt" lies in the folder itself.
    for (FileSpec& file : scenario.files)
        ChooseDate(file.date, random);
}

// The files of a photo under one number and names that write the date come from a stream of
// their own: scenarios where it draws nothing stay as they were. Files a name takes the date
// of get dates, as the date orders' files do.
void ChoosePhotos(Scenario& scenario, Generator& names, uint64_t seed)
{
    Dice random(seed ^ 0x9407E5A4E9407E5Aull);
    if (!random.Percent(35))
        return;
    scenario.sameNumber = random.Percent(70);
    static const std::vector<std::string> stems = {"IMG_0001", "IMG_0002", "img_0001", "DSC1"};
    static const std::vector<std::string> tails = {".CR2", ".JPG", ".jpg",     ".xmp", ".CR2.xmp", ".HEIC",
                                                   ".MOV", ".AAE", ".JPG.xmp", "",     ".cr2.XMP"};
    for (int i = random.Between(0, 10); i > 0; --i) {
        std::string name = random.Pick(stems) + random.Pick(tails);
        bool logsName =
            CaseFolded(name) == CaseFolded(scenario.logKey) || CaseFolded(name) == CaseFolded(scenario.logTypedName);
        if (!logsName && names.Take(name))
            scenario.files.push_back(FileSpec{name, false, false, false, DateSpec()});
    }
    bool dated = false;
    // A name with a control character (natively only) is one no log line can hold; the
    // scenario's pattern names such files only where it holds one itself and is refused.
    bool controlNames = false;
    for (const FileSpec& file : scenario.files) {
        dated = dated || file.date.dated;
        for (char c : file.key)
            controlNames = controlNames || static_cast<unsigned char>(c) < 0x20;
    }
    if (random.Percent(50) && !controlNames) {
        // Year, month, day, hour, minute, second, date and time of day in code page 932.
        const std::string y = "<\x94\x4e>", mo = "<\x8c\x8e>", d = "<\x93\xfa>", h = "<\x8e\x9e>", mi = "<\x95\xaa>",
                          s = "<\x95\x62>", date = "<\x93\xfa\x95\x74>", time = "<\x8e\x9e\x8d\x8f>";
        scenario.pattern = random.Pick(std::vector<std::string>{
            date + "_?", "?" + y, time + "?", y + mo + d + "-" + h + mi + s + "-?", date, "x" + date + "?" + time,
            "a<x>?", "<\x93\xfa\x95\x74 >?", "<\x94\x4e?", "?" + d + ">", "<>" + date + "?"});
        dated = true;
    }
    for (FileSpec& file : scenario.files) {
        if (dated && !file.date.dated)
            ChooseDate(file.date, random);
    }
}

// Now and then files are marked system, most of them hidden too, as Windows marks
// desktop.ini and Thumbs.db; from a stream of their own, so that the other choices stay.
void ChooseSystemFiles(Scenario& scenario, uint64_t seed)
{
    Dice random(seed ^ 0x5157E3F11E5157E3ull);
    if (!random.Percent(25))
        return;
    for (FileSpec& file : scenario.files) {
        if (random.Percent(20)) {
            file.system = true;
            file.hidden = random.Percent(75);
        }
    }
}

// Now and then, on Windows, the run's folder lies deep: its path about 300 or 1,000
// characters, in levels of at most 200 (Wine keeps at most 255 bytes of UTF-8 for each), some
// of them holding a character whose second byte is the separator's or one the code page
// cannot hold. From a stream of its own, so that the other choices stay.
void ChooseDeepFolder(Scenario& scenario, uint64_t seed)
{
    Dice random(seed ^ 0xDEE9F0DE5DEE9F0Dull);
    if (!kWindows || !random.Percent(12))
        return;
    // The tester's temporary folder and the scenario's take about 40.
    std::string levels;
    for (int rest = random.Pick(std::vector<int>{300, 1000}) - 40 + random.Between(-20, 20); rest > 0;) {
        const int length = std::min(rest, random.Between(100, 200));
        const std::string mark = random.Pick(std::vector<std::string>{"", "\x83\x5C", "<U+00E9>", "<U+1F600>"});
        levels += std::string(static_cast<size_t>(length), 'd').replace(0, mark.empty() ? 0 : 2, mark) + "/";
        rest -= length + 1;
    }
    scenario.runFolderName = levels + scenario.runFolderName;
}

}  // namespace

Scenario MakeScenario(uint64_t seed, uint64_t index, bool photos)
{
    Dice random(ScenarioSeed(seed, index));
    Scenario scenario = Scenario();
    scenario.seed = seed;
    scenario.index = index;
    int fileCount = random.Percent(70) ? random.Between(0, 15) : random.Between(0, kWindows ? 25 : 40);
    if (!kWindows && random.Percent(2))
        fileCount = random.Between(60, 120);

    ChooseJob(scenario, random, fileCount);
    scenario.runFolderName = "f";
    if (kWindows && random.Percent(15))
        scenario.runFolderName = random.Pick(kBackslashSecondByte);
    if (!kWindows && random.Percent(5))
        scenario.runFolderName = "f\\";
    scenario.typedSeparators = random.Percent(50) ? 0 : random.Percent(90) ? 1 : 2;
    scenario.questionMarksUnreachable = !kWindows && random.Percent(30);
    scenario.cp932LeadBytes = !kWindows && random.Percent(30);

    Generator names(scenario, random);
    ChooseFiles(scenario, names, random, fileCount);
    ChooseLog(scenario, names, random, fileCount);
    ChooseFaults(scenario, random, fileCount);
    if (!kWindows && random.Percent(3))
        scenario.overlongName = SomeTopLevelFile(scenario, random);

    int tempKind = static_cast<int>(random.Below(100));
    scenario.tempNumberBefore = tempKind < 70   ? random.Between(0, 20)
                                : tempKind < 95 ? random.Between(0, 3000)
                                                : random.Between(9990, 10005);
    scenario.randomStateBefore = static_cast<uint32_t>(random.Next());
    ChooseLogOnANewName(scenario, names, ScenarioSeed(seed, index));
    ChooseDates(scenario, names, ScenarioSeed(seed, index));
    ChooseSystemFiles(scenario, ScenarioSeed(seed, index));
    if (photos)
        ChoosePhotos(scenario, names, ScenarioSeed(seed, index));
    ChooseDeepFolder(scenario, ScenarioSeed(seed, index));
    return scenario;
}

std::string NameInFolder(const std::string& key)
{
    size_t up = key.rfind("/../");
    return up == std::string::npos ? key : key.substr(up + 4);
}

std::string OverlongListedName(const std::string& name)
{
    return name.size() >= 258 ? name : name + std::string(258 - name.size(), '~');
}
