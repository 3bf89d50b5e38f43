#include "engine/log/RenameLogReader.h"

#include "engine/platform/PathNames.h"

#include <algorithm>
#include <cstring>

namespace {

const size_t kLongestStepLine = kStepLineSize - 1;
// Far more than a folder field holds; a longer first line belongs to some other file.
const size_t kLongestFolderLine = 65536;

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
    if (parts[0].empty() || parts[1] != kStepArrow || parts[2].empty() ||
        (parts.size() == 4 && !IsStepFailureReason(parts[3], false)))
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
        if (i == 1 ? parts[i] != kStepArrow : parts[i].empty())
            return false;
    }
    if (last == 3)
        return IsStepFailureReason(parts[3], true);
    return last != 1 || std::strncmp(kStepArrow, parts[1].c_str(), parts[1].size()) == 0;
}

}  // namespace

void RenameLogParser::NoteKeyLine(const std::string& text, const LoggedStep& step)
{
    if (step.NotMade()) {
        const std::string announced = text.substr(0, text.rfind('\t'));
        keyCandidates.erase(std::remove(keyCandidates.begin(), keyCandidates.end(), announced), keyCandidates.end());
        return;
    }
    if (step.Failed() || step.from == step.to)
        return;
    if (writesAhead)
        keyCandidates.push_back(text);
    else
        keyLine = text;
}

uint64_t RenameLogParser::RunKey() const
{
    const std::string& line = keyLine.empty() && !keyCandidates.empty() ? keyCandidates.front() : keyLine;
    uint64_t key = 14695981039346656037ull;
    for (const char c : line)
        key = (key ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return key;
}

bool LoggedStep::NotMade() const
{
    return failure == StepFailureText(FailureNotMade);
}

RenameLogParser::RenameLogParser(const FileServices& fs, std::vector<LoggedStep>* steps)
    : fs(&fs), steps(steps), headerAt(0), size(0), lastActStart(0), sections(1), sectionLines(0), wholeSteps(0),
      inFolder(true), inHeader(false), finished(false), afterCutLine(false), endsInNuls(false), runFinished(false),
      writesAhead(false), madeUpTo(0), closedUndoActs(0), broken(false), completing(false)
{
}

bool RenameLogParser::Feed(const char* bytes, size_t count)
{
    for (size_t i = 0; i < count && !broken; ++i) {
        const char c = bytes[i];
        // A power cut can leave the end of a file that was growing as NUL bytes, and nothing
        // after them.
        if (c == '\0' || endsInNuls) {
            endsInNuls = true;
            broken = c != '\0';
            continue;
        }
        ++size;
        broken = !(inFolder ? TakeFolderByte(c) : inHeader ? TakeHeaderByte(c) : TakeBodyByte(c));
    }
    return !broken;
}

// CR stays in the text until its LF comes, so that a file ending between the two is seen.
bool RenameLogParser::TakeFolderByte(char c)
{
    const bool afterCr = !folder.empty() && folder.back() == '\r';
    if (c == '\n') {
        if (!afterCr)
            return false;
        folder.pop_back();
        if (!IsFullPath(folder.c_str(), *fs))
            return false;
        inFolder = false;
        header = SectionHeader(folder);
        return true;
    }
    if (afterCr || (IsControl(c) && c != '\r') || folder.size() >= kLongestFolderLine)
        return false;
    folder.push_back(c);
    return true;
}

bool RenameLogParser::TakeHeaderByte(char c)
{
    if (c != header[headerAt])
        return false;
    inHeader = ++headerAt < header.size();
    return true;
}

bool RenameLogParser::TakeBodyByte(char c)
{
    if (line.empty() && c == '\r') {
        // An undo's empty line; its section follows one that holds at least one line.
        if (sectionLines == 0)
            return false;
        StartSection();
        return true;
    }
    const bool afterCr = !line.empty() && line.back() == '\r';
    if (c == '\n') {
        if (!afterCr)
            return false;
        line.pop_back();
        const bool taken = TakeLine(line);
        line.clear();
        return taken;
    }
    if (afterCr || (IsControl(c) && c != '\r' && c != '\t'))
        return false;
    // Room for this byte and the line's end.
    if (line.size() + 1 + (c == '\r' ? 1 : 2) > kLongestStepLine)
        return false;
    line.push_back(c);
    return true;
}

// The empty line's CR has come: the rest of the undo's header must follow.
void RenameLogParser::StartSection()
{
    const bool actClosed = sections == 1 || finished;
    if (finished)
        pending.clear();
    else if (writesAhead && steps)
        pending.emplace_back(madeUpTo, steps->size());
    ++sections;
    sectionLines = 0;
    finished = false;
    afterCutLine = false;
    inHeader = true;
    headerAt = 1;
    if (actClosed && steps) {
        // Only the act before the new one is kept.
        steps->erase(steps->begin(), steps->begin() + static_cast<std::ptrdiff_t>(lastActStart));
        lastActStart = steps->size();
    }
    madeUpTo = steps ? steps->size() : 0;
}

// A whole line of a section, without its CR LF.
bool RenameLogParser::TakeLine(const std::string& text)
{
    if (finished)
        return false;
    if (text == kMovesMadeLine) {
        // Right after the folder line it says the record is written ahead of its moves.
        if (sections == 1 && sectionLines == 0)
            writesAhead = true;
        else if (!writesAhead || afterCutLine)
            return false;
        madeUpTo = steps ? steps->size() : 0;
        pending.clear();
        if (sections == 1 && keyLine.empty() && !keyCandidates.empty())
            keyLine = keyCandidates.front();
        keyCandidates.clear();
        ++sectionLines;
        return true;
    }
    if (text == FinishingLine()) {
        if (sections == 1 && wholeSteps == 0)
            return false;
        finished = true;
        runFinished = runFinished || sections == 1;
        closedUndoActs += sections > 1 ? 1 : 0;
        ++sectionLines;
        return true;
    }
    if (afterCutLine)
        return false;
    LoggedStep step;
    if (ParseStep(text, step)) {
        if (steps)
            steps->push_back(step);
        ++wholeSteps;
        if (sections == 1 && keyLine.empty())
            NoteKeyLine(text, step);
    } else if (wholeSteps == 0 || text.find('\t') == std::string::npos || !BeginsStep(text)) {
        return false;
    } else {
        afterCutLine = true;
        // An undo ends a line cut short before its first TAB with one: "a<TAB>" may be "a.txt"
        // cut short. Only when the file stopped there is it known which it is.
        if (completing || text.find('\t') + 1 < text.size())
            KeepCutStep(text);
    }
    ++sectionLines;
    return true;
}

// A line cut short after its first name, its step not known to have failed: it was written
// after its move, which may have taken the file from that name.
void RenameLogParser::KeepCutStep(const std::string& text)
{
    std::vector<std::string> parts;
    SplitStep(text, parts);
    if (!steps || (parts.size() == 4 && !parts[3].empty()))
        return;
    LoggedStep step;
    step.from = parts[0];
    step.cut = true;
    steps->push_back(step);
}

bool RenameLogParser::IsRenameLog() const
{
    if (broken)
        return false;
    if (inFolder)
        return size == 0;
    if (sections == 1 && sectionLines == 0 && line.empty())
        return false;
    if (inHeader || line.empty())
        return true;
    if (line.back() == '\r') {
        RenameLogParser ended(*this);
        ended.steps = nullptr;
        ended.endsInNuls = false;
        return ended.Feed("\n", 1);
    }
    if (finished)
        return false;
    if (line[0] == '\t')
        return (sections > 1 || wholeSteps > 0 || writesAhead) && TabLineBegun() != nullptr;
    if (afterCutLine)
        return false;
    // A crash stops a step line only after a whole one.
    return wholeSteps > 0 && BeginsStep(line);
}

std::string RenameLogParser::Completion() const
{
    if (inFolder)
        return std::string();
    if (inHeader)
        return header.substr(headerAt);
    if (line.empty())
        return std::string();
    if (line.back() == '\r')
        return "\n";
    if (line[0] == '\t') {
        const char* begun = TabLineBegun();
        return std::string(begun + std::min(line.size(), std::strlen(begun))) + kLineEnd;
    }
    LoggedStep step;
    const bool readsAsStep = line.find('\t') == std::string::npos || (ParseStep(line, step) && !step.Failed());
    return (readsAsStep && line.size() + 3 <= kLongestStepLine ? "\t" : "") + std::string(kLineEnd);
}

// A batch's kMovesMadeLine where the line could be either: read as the finishing line, a
// line cut short would end an act whose last moves are not known to be made.
const char* RenameLogParser::TabLineBegun() const
{
    if (writesAhead && std::strncmp(kMovesMadeLine, line.c_str(), line.size()) == 0)
        return kMovesMadeLine;
    if ((sections > 1 || wholeSteps > 0) && std::strncmp(FinishingLine(), line.c_str(), line.size()) == 0)
        return FinishingLine();
    return nullptr;
}

void RenameLogParser::MarkUncertain()
{
    if (!steps || !writesAhead || finished)
        return;
    pending.emplace_back(madeUpTo, steps->size());
    for (const std::pair<size_t, size_t>& range : pending) {
        for (size_t i = range.first; i < range.second; ++i)
            (*steps)[i].uncertain = true;
    }
}

std::string RenameLogParser::Complete()
{
    const std::string completion = Completion();
    // A line the file stops in before its first TAB names no whole name.
    const bool nameWhole = !inHeader && line.find('\t') != std::string::npos;
    endsInNuls = false;
    completing = nameWhole;
    Feed(completion.data(), completion.size());
    completing = false;
    MarkUncertain();
    return completion;
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

}  // namespace

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
    RenameLogParser parser(fs);
    return !FeedFile(file, fs, parser) || !parser.IsRenameLog();
}
