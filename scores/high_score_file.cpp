// VORN.DAT: reads the table back through its guard line and checksum, and
// writes it whole. Never decides who enters the table and never draws; the one
// thing it shows is the "Error" question when a write fails, through the seam.
// The file's safety lives here: only a regular file is read, a save goes to a
// temporary file of its own that replaces VORN.DAT only when written and
// synced, and every step is checked. How each step is done is the platform's.
//
// Every line on disk ends in CR LF, on every platform, so that both builds
// write the same bytes. Reading drops a CR that stands directly before an LF,
// so CR LF and bare LF files read alike and the checksum counts each line end
// as one LF.
#include "scores/high_score_file.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "seam/file_store.h"
#include "seam/platform.h"
#include "scores/high_score_table.h"

namespace {

using platform::FileFault;

constexpr const char* ErrorCaption = "Error";

// What the "Error" question says when a save or the default file fails, by
// the reason the system gave. A temporary file that cannot be made asks the
// old question whatever the reason, unless the disk is full.
constexpr const char* WriteProtectedText = "Cannot write file, is disk write protected?";
constexpr const char* DiskFullText = "Cannot write file, the disk is full.";
constexpr const char* NameIsFolderText = "Cannot write file, VORN.DAT is a folder.";
constexpr const char* DiskErrorText = "Cannot write file, the disk reported an error.";

// What the start-up says when not even the default file could be written.
constexpr const char* ReadOnlyProblem =
    "High score file could not be written:\n"
    "the folder is read-only.\n"
    "Restarting will not help until it can be written.";
constexpr const char* DiskFullProblem =
    "High score file could not be written:\n"
    "the disk is full.\n"
    "Restarting will not help until there is room.";
constexpr const char* NameIsFolderProblem =
    "High score file could not be written:\n"
    "the name VORN.DAT is taken by a folder.\n"
    "Restarting will not help until it is moved.";
constexpr const char* DiskErrorProblem =
    "High score file could not be written:\n"
    "the disk reported an error.\n"
    "Restarting may not help.";

// Room for a path to the file replaced and its temporary file.
constexpr int PathRoom = 4096;

// The read-only notice names the folder and says what helps, after its
// first three lines: room for them, a path and the advice.
constexpr int ReadOnlyNoticeRoom = PathRoom + 512;

// The whole file as read; more than the loader can consume (a first line of
// 254 characters and 21 fields of 256, each character up to two bytes as CR
// LF), so that a longer file reads exactly as it would to its end.
constexpr int FileTextRoom = 16384;

// The guard line: this text, 173 spaces, and the full stop as the 189th
// character, which is the only thing the load checks on it.
constexpr const char GuardText[] = "[Do not cheat!]";
constexpr int GuardSpaces = 173;
constexpr int GuardMarkIndex = 188;

// The first line is read with room for 254 characters; a longer line's rest
// becomes the start of the first record.
constexpr int FirstLineLimit = 254;
// A field holds at most 255 characters before its terminator; a longer one
// fails the load like a bad checksum.
constexpr int FieldLimit = 255;
static_assert(FieldLimit + 1 == HighScoreNameSize, "a name field is read straight into the entry");

// The table a damaged or missing file is replaced with, best first.
constexpr const char* DefaultRecords[HighScoreEntries] = {
    "Unknown;50;1;0",
    "Unknown;40;1;0",
    "Unknown;30;1;0",
    "Unknown;20;1;0",
    "Unknown;10;1;0",
};
constexpr std::int32_t DefaultChecksum = 5675;

constexpr std::int32_t SumOfDefaultRecords() {
    std::int32_t sum = 0;
    for (const char* record : DefaultRecords) {
        for (const char* c = record; *c != '\0'; ++c) {
            sum += static_cast<unsigned char>(*c);
        }
        sum += '\n';
    }
    return sum;
}
static_assert(SumOfDefaultRecords() == DefaultChecksum, "the default file must load");

constexpr int EndOfFile = -1;

// A file's bytes as read, and how far the reading has come.
struct FileText {
    char bytes[FileTextRoom];
    int length;
    int at;
};

// Reads VORN.DAT into `text`. Returns 0 when there is no regular file under
// the name (missing, a folder, a FIFO, a device) or reading it failed: the
// file then counts as damaged. Never waits on the file.
int ReadFileText(FileText& text) {
    text.length = 0;
    text.at = 0;
    const platform::FileHandle file = platform::OpenRegularFile(HighScoreFileName);
    if (file < 0) {
        return 0;
    }
    int got = 0;
    while (text.length < FileTextRoom &&
           (got = platform::ReadFromFile(file, text.bytes + text.length, FileTextRoom - text.length)) > 0) {
        text.length += got;
    }
    platform::CloseReadFile(file);
    return got < 0 ? 0 : 1;
}

// The next character as the table sees it: EndOfFile at the end, and a CR
// directly before an LF dropped. Codes come unsigned, 0 to 255.
int ReadCharacter(FileText& text) {
    if (text.at == text.length) {
        return EndOfFile;
    }
    const int c = static_cast<unsigned char>(text.bytes[text.at++]);
    if (c == '\r' && text.at < text.length && text.bytes[text.at] == '\n') {
        ++text.at;
        return '\n';
    }
    return c;
}

// Reads the first line, up to and including its line end but never more than
// FirstLineLimit characters. Returns how many characters were read; 0 means
// the file is empty.
int ReadFirstLine(FileText& file, char (&line)[FirstLineLimit]) {
    int length = 0;
    while (length < FirstLineLimit) {
        const int c = ReadCharacter(file);
        if (c == EndOfFile) {
            break;
        }
        line[length++] = static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    return length;
}

// Reads one field up to and including `terminator` into `text` (room for
// FieldLimit characters and the terminating zero), adding every character read
// to `sum` when one is given. Returns 0 for a field the file cannot hold: one
// that runs past FieldLimit characters, meets the end of the file, or holds a
// NUL, which would cut a name short of the characters the checksum counted.
int ReadField(FileText& file, int terminator, char* text, std::int32_t* sum) {
    int length = 0;
    for (;;) {
        const int c = ReadCharacter(file);
        if (c == EndOfFile || c == '\0') {
            return 0;
        }
        if (sum != nullptr) {
            *sum += c;  // at most 5 x 4 x 256 x 255 in all: cannot overflow
        }
        if (c == terminator) {
            break;
        }
        if (length == FieldLimit) {
            return 0;
        }
        text[length++] = static_cast<char>(c);
    }
    text[length] = '\0';
    return 1;
}

// A number as the table has always read it: leading white space skipped, one
// optional sign, the digits up to the first other character, 0 without any.
// A number beyond the 32-bit range stops at its end of the range.
std::int32_t ConvertNumber(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value <= INT32_MAX) {
            value = value * 10 + (*text - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

// The bytes of a whole file, composed in memory before anything touches the
// disk. The room is more than the largest table needs: the guard line, five
// names of 255 characters each written as up to 510 bytes, twelve numbers of
// at most 11 characters, the separators and the line ends.
struct FileImage {
    char bytes[4096];
    int length;
};

void AppendByte(FileImage& image, char c) {
    if (image.length < static_cast<int>(sizeof image.bytes)) {
        image.bytes[image.length++] = c;
    }
}

// Appends text; every LF in it goes to disk as CR LF.
void AppendText(FileImage& image, const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\n') {
            AppendByte(image, '\r');
        }
        AppendByte(image, text[i]);
    }
}

void AppendText(FileImage& image, const char* text) { AppendText(image, text, std::strlen(text)); }

// A name's length, at most 255 even if its terminator were missing.
std::size_t NameLength(const HighScoreEntry& entry) {
    const void* end = std::memchr(entry.name, '\0', HighScoreNameSize - 1);
    return end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - entry.name)
                          : HighScoreNameSize - 1;
}

void AppendNumber(FileImage& image, std::int32_t value) {
    char digits[12];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    AppendText(image, digits, static_cast<std::size_t>(result.ptr - digits));
}

void AppendGuardLine(FileImage& image) {
    AppendText(image, GuardText);
    for (int i = 0; i < GuardSpaces; ++i) {
        AppendByte(image, ' ');
    }
    AppendText(image, ".\n");
}

// The checksum of bytes as the load will read them: every code unsigned, a CR
// directly before an LF not counted.
std::int32_t SumAsRead(const char* bytes, int length) {
    std::int32_t sum = 0;
    for (int i = 0; i < length; ++i) {
        if (bytes[i] == '\r' && i + 1 < length && bytes[i + 1] == '\n') {
            continue;
        }
        sum += static_cast<unsigned char>(bytes[i]);
    }
    return sum;
}

// Why the last write failed; the start-up reads it through HighScoreWriteProblem.
FileFault LastWriteFault = FileFault::None;
// The read-only notice as last composed by ReadOnlyNotice.
char ReadOnlyNoticeText[ReadOnlyNoticeRoom];

// The question a failed write asks, by its reason; `made` tells whether the
// temporary file had been made.
const char* QuestionText(FileFault fault, bool made) {
    switch (fault) {
        case FileFault::DiskFull: return DiskFullText;
        case FileFault::NameIsFolder: return NameIsFolderText;
        case FileFault::ReadOnly: return WriteProtectedText;
        default: return made ? DiskErrorText : WriteProtectedText;
    }
}

// One attempt at putting the image in the place of VORN.DAT, or of the file
// it links to: a new temporary file beside it, written, synced and closed,
// renamed over it, and the folder synced so that the rename outlives a power
// cut. A step that fails leaves the old file as it was and removes the
// temporary file. Returns the fault, and in `made` whether the temporary file
// was made.
FileFault TryReplaceHighScoreFile(const FileImage& image, bool& made) {
    made = false;
    char target[PathRoom];
    if (!platform::FindFileToReplace(HighScoreFileName, target, PathRoom)) {
        return FileFault::Other;
    }
    char temporary[PathRoom];
    FileFault fault = FileFault::Other;
    const platform::FileHandle file = platform::CreateTemporaryFile(target, temporary, PathRoom, fault);
    if (file < 0) {
        return fault == FileFault::None ? FileFault::Other : fault;
    }
    made = true;
    fault = platform::WriteToFile(file, image.bytes, image.length);
    if (fault == FileFault::None) {
        fault = platform::SyncFile(file);
    }
    const FileFault closed = platform::CloseWrittenFile(file);
    if (fault == FileFault::None) {
        fault = closed;
    }
    if (fault == FileFault::None) {
        fault = platform::ReplaceFile(temporary, target);
    }
    if (fault != FileFault::None) {
        platform::RemoveFile(temporary);
        return fault;
    }
    // The new table is in place; a folder that cannot be synced means it may
    // not survive a power cut, which the player is told like any failure.
    return platform::SyncFolderOf(target);
}

// Writes the whole image over VORN.DAT. A failure asks the player: Retry tries
// the whole write once more, and gives up without a further question if that
// fails too; Cancel gives up. Whenever it gives up, VORN.DAT stays as it was.
int ReplaceHighScoreFile(const FileImage& image) {
    for (bool asked = false;; asked = true) {
        bool made = false;
        LastWriteFault = TryReplaceHighScoreFile(image, made);
        if (LastWriteFault == FileFault::None) {
            return 1;
        }
        if (asked || platform::ShowMessageBox(QuestionText(LastWriteFault, made), ErrorCaption,
                                              platform::RetryCancel) != platform::AnswerRetry) {
            return 0;
        }
    }
}

// Reads the five records and the checksum line that follow the first line
// into `table`. Returns 1 when the checksum holds.
int ReadRecordsInto(FileText& file, HighScoreTable& table) {
    std::int32_t sum = 0;
    char field[FieldLimit + 1];
    bool read = true;
    for (HighScoreEntry& entry : table.entries) {
        read = read && ReadField(file, ';', entry.name, &sum);
        read = read && ReadField(file, ';', field, &sum);
        entry.score = read ? ConvertNumber(field) : 0;
        read = read && ReadField(file, ';', field, &sum);
        entry.level = read ? ConvertNumber(field) : 0;
        read = read && ReadField(file, '\n', field, &sum);
        entry.lines = read ? ConvertNumber(field) : 0;
    }
    read = read && ReadField(file, '\n', field, nullptr);
    const std::int32_t checksum = read ? ConvertNumber(field) : 0;
    return read && checksum == sum ? 1 : 0;
}

// Reads the table on disk as it is now into `table`, with the load's checks
// (a regular file, the guard line's mark, the checksum). Returns 0 when the
// file is missing or damaged; `table` is then not to be used.
int ReadTableOnDisk(HighScoreTable& table) {
    table = HighScoreTable{};
    FileText file;
    if (!ReadFileText(file)) {
        return 0;
    }
    char line[FirstLineLimit];
    const int length = ReadFirstLine(file, line);
    return length > GuardMarkIndex && line[GuardMarkIndex] == '.' && ReadRecordsInto(file, table) == 1 ? 1 : 0;
}

// The read-only problem, then the folder by its full path and what helps,
// so that the player knows which folder to deal with. Without a path the
// problem alone is told.
const char* ReadOnlyNotice() {
    char (&notice)[ReadOnlyNoticeRoom] = ReadOnlyNoticeText;
    char folder[PathRoom];
    if (!platform::CurrentFolder(folder, PathRoom)) {
        return ReadOnlyProblem;
    }
    int length = 0;
    for (const char* part : {ReadOnlyProblem, "\n\nFolder: ", static_cast<const char*>(folder), "\n",
                             platform::WritableFolderAdvice()}) {
        const std::size_t size = std::strlen(part);
        if (length + size >= sizeof notice) {
            return ReadOnlyProblem;
        }
        std::memcpy(notice + length, part, size);
        length += static_cast<int>(size);
    }
    notice[length] = '\0';
    return notice;
}

}  // namespace

int LoadHighScoreTable() {
    HighScores = HighScoreTable{};
    LastWriteFault = FileFault::None;
    FileText file;
    if (ReadFileText(file)) {
        char line[FirstLineLimit];
        const int length = ReadFirstLine(file, line);
        if (length > GuardMarkIndex && line[GuardMarkIndex] == '.' && ReadHighScoreRecords() == 1) {
            return 1;
        }
    }
    WriteDefaultHighScoreFile();
    return 0;
}

int ReadHighScoreRecords() {
    FileText file;
    if (!ReadFileText(file)) {
        return 0;
    }
    char line[FirstLineLimit];
    ReadFirstLine(file, line);
    return ReadRecordsInto(file, HighScores);
}

int SaveHighScoreTable() {
    FileImage image{};
    AppendGuardLine(image);
    const int recordsStart = image.length;
    for (const HighScoreEntry& entry : HighScores.entries) {
        AppendText(image, entry.name, NameLength(entry));
        AppendByte(image, ';');
        AppendNumber(image, entry.score);
        AppendByte(image, ';');
        AppendNumber(image, entry.level);
        AppendByte(image, ';');
        AppendNumber(image, entry.lines);
        AppendText(image, "\n");
    }
    AppendNumber(image, SumAsRead(image.bytes + recordsStart, image.length - recordsStart));
    AppendText(image, "\n");
    return ReplaceHighScoreFile(image);
}

int SaveNewHighScore() {
    const int position = PendingHighScorePosition;
    if (position < 0 || position >= HighScoreEntries) {
        return SaveHighScoreTable();  // nothing was inserted to merge
    }
    // Another copy of the game in the same folder may have saved its own
    // results since this one read the file: under the lock, this game's
    // result goes into the table on disk as it is now, so neither copy's
    // entry is lost. A lock not had within a few seconds (another copy hung,
    // or a folder where the lock file cannot be made) saves as a single copy
    // does, from the table this copy holds.
    const HighScoreEntry entry = HighScores.entries[position];
    const platform::FileLock lock = platform::LockScoreFile(HighScoreFileName);
    if (lock >= 0) {
        // A file missing or damaged now holds nothing to keep: the result
        // stays in the table this copy holds, as InsertHighScore put it.
        HighScoreTable onDisk;
        if (ReadTableOnDisk(onDisk)) {
            MergeHighScore(onDisk, entry);
            HighScores = onDisk;
        }
    }
    const int saved = SaveHighScoreTable();
    if (lock >= 0) {
        platform::UnlockScoreFile(lock);
    }
    return saved;
}

int WriteDefaultHighScoreFile() {
    FileImage image{};
    AppendGuardLine(image);
    for (const char* record : DefaultRecords) {
        AppendText(image, record);
        AppendText(image, "\n");
    }
    AppendNumber(image, DefaultChecksum);
    AppendText(image, "\n");
    return ReplaceHighScoreFile(image);
}

int CheckHighScoreFile() {
    const HighScoreTable kept = HighScores;
    const int loads = LoadHighScoreTable();
    HighScores = kept;
    return loads;
}

const char* HighScoreWriteProblem() {
    switch (LastWriteFault) {
        case FileFault::None: return nullptr;
        case FileFault::ReadOnly: return ReadOnlyNotice();
        case FileFault::DiskFull: return DiskFullProblem;
        case FileFault::NameIsFolder: return NameIsFolderProblem;
        case FileFault::Other: break;
    }
    return DiskErrorProblem;
}
