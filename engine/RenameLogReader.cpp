#include "engine/RenameLogReader.h"

#include <cstring>

namespace {

// A step line is formatted into a buffer of kFormatBufferSize bytes, its NUL included.
const size_t kLongestStepLine = kFormatBufferSize - 1;
// Far more than a folder field holds; a longer first line belongs to some other file.
const size_t kLongestFolderLine = 65536;
const char kArrow[] = "->";

bool IsControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20;
}

// The TAB-separated parts of a line: name, arrow, name and the optional reason.
bool SplitStep(const std::string& text, std::vector<std::string>& parts)
{
    parts.clear();
    size_t start = 0;
    for (;;) {
        size_t tab = text.find('\t', start);
        parts.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (parts.size() > 4)
            return false;
        if (tab == std::string::npos)
            return true;
        start = tab + 1;
    }
}

// A whole step line without its CR LF.
bool ParseStep(const std::string& text, LoggedStep& step)
{
    std::vector<std::string> parts;
    if (!SplitStep(text, parts) || parts.size() < 3)
        return false;
    if (parts[0].empty() || parts[1] != kArrow || parts[2].empty() || (parts.size() == 4 && parts[3].empty()))
        return false;
    step.from = parts[0];
    step.to = parts[2];
    step.failure = parts.size() == 4 ? parts[3] : std::string();
    return true;
}

// The beginning of a step line that a crash stopped short: every part but the last one
// whole, the last one as far as it got.
bool BeginsStep(const std::string& text)
{
    std::vector<std::string> parts;
    if (!SplitStep(text, parts))
        return false;
    const size_t last = parts.size() - 1;
    for (size_t i = 0; i < last; ++i) {
        if (i == 1 ? parts[i] != kArrow : parts[i].empty())
            return false;
    }
    return last != 1 || std::strncmp(kArrow, parts[1].c_str(), parts[1].size()) == 0;
}

} // namespace

RenameLogParser::RenameLogParser(std::vector<LoggedStep>* steps)
    : steps(steps), sections(1), inFolder(true), afterCutLine(false), lineHasTab(false), broken(false)
{
}

bool RenameLogParser::Feed(const char* bytes, size_t count)
{
    for (size_t i = 0; i < count && !broken; ++i) {
        if (!(inFolder ? TakeFolderByte(bytes[i]) : TakeStepByte(bytes[i])))
            broken = true;
    }
    return !broken;
}

// CR stays in the text until its LF comes, so that a file ending between the two is seen.
bool RenameLogParser::TakeFolderByte(char c)
{
    const bool afterCr = !folder.empty() && folder.back() == '\r';
    if (c == '\n') {
        if (!afterCr || folder.size() < 2)
            return false;
        folder.pop_back();
        inFolder = false;
        return true;
    }
    if (afterCr || (IsControl(c) && c != '\r') || folder.size() >= kLongestFolderLine)
        return false;
    folder.push_back(c);
    return true;
}

bool RenameLogParser::TakeStepByte(char c)
{
    const bool afterCr = !line.empty() && line.back() == '\r';
    if (c == '\n') {
        if (!afterCr)
            return false;
        line.pop_back();
        if (!TakeLine())
            return false;
        line.clear();
        lineHasTab = false;
        return true;
    }
    if (afterCr || (IsControl(c) && c != '\r' && c != '\t'))
        return false;
    lineHasTab = lineHasTab || c == '\t';
    // Room for this byte and the line's end; a line without a TAB may yet be cut short.
    const size_t longest = lineHasTab ? kLongestStepLine : kLongestFolderLine;
    if (line.size() + 1 + (c == '\r' ? 1 : 2) > longest)
        return false;
    line.push_back(c);
    return true;
}

// A whole line without its CR LF, after the folder line of its section.
bool RenameLogParser::TakeLine()
{
    if (line.empty()) {
        ++sections;
        folder.clear();
        inFolder = true;
        afterCutLine = false;
        if (steps)
            steps->clear();
        return true;
    }
    if (afterCutLine)
        return false;
    LoggedStep step;
    if (ParseStep(line, step)) {
        if (steps)
            steps->push_back(step);
        return true;
    }
    afterCutLine = BeginsStep(line);
    return afterCutLine;
}

bool RenameLogParser::IsRenameLog() const
{
    if (broken)
        return false;
    if (inFolder)
        return folder.empty() || sections > 1;
    // The undo that ended the line writes its empty line in the same write.
    if (afterCutLine)
        return false;
    if (!line.empty() && line.back() == '\r') {
        LoggedStep step;
        return ParseStep(line.substr(0, line.size() - 1), step);
    }
    return BeginsStep(line);
}

const char* RenameLogParser::EndOfCutLine() const
{
    if (inFolder || line.empty())
        return "";
    return line.back() == '\r' ? "\n" : "\r\n";
}

namespace {

// Feeds the open file to the parser until its end or until the parser has seen enough, and
// closes it. False on a read error.
bool FeedFile(ReadHandle file, FileServices& fs, RenameLogParser& parser)
{
    char buffer[16384];
    int read;
    while ((read = fs.Read(file, buffer, sizeof buffer)) > 0) {
        if (!parser.Feed(buffer, static_cast<size_t>(read)))
            break;
    }
    fs.CloseRead(file);
    return read >= 0;
}

} // namespace

bool ReadRenameLog(const char* path, FileServices& fs, RenameLogParser& parser)
{
    bool fileThere = false;
    ReadHandle file = fs.OpenRead(path, fileThere);
    return file != nullptr && FeedFile(file, fs, parser);
}

bool LogPathHoldsOtherFile(const char* path, FileServices& fs)
{
    if (path == nullptr || path[0] == '\0')
        return false;
    bool fileThere = false;
    ReadHandle file = fs.OpenRead(path, fileThere);
    if (file == nullptr)
        return fileThere;
    RenameLogParser parser;
    return !FeedFile(file, fs, parser) || !parser.IsRenameLog();
}
