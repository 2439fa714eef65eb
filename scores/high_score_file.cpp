// VORN.DAT: reads the table back through its guard line and checksum, and
// writes it whole. Never decides who enters the table and never draws; the one
// thing it shows is the write-protect question, through the platform seam.
//
// Every line on disk ends in CR LF, on every platform, and files are opened in
// binary mode so that both builds write the same bytes. Reading drops a CR that
// stands directly before an LF, so CR LF and bare LF files read alike and the
// checksum counts each line end as one LF.
#include "scores/high_score_file.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "platform/platform.h"
#include "scores/high_score_table.h"

namespace {

// A save is written here first and renamed over VORN.DAT only when complete,
// so VORN.DAT always holds either the old table or the new one.
constexpr const char* TemporaryFileName = "VORN.DAT.tmp";

constexpr const char* WriteProtectedText = "Cannot write file, is disk write protected?";
constexpr const char* ErrorCaption = "Error";

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

// The next character as the table sees it: EOF at the end or on a read error,
// and a CR directly before an LF dropped. Codes come unsigned, 0 to 255.
int ReadCharacter(std::FILE* file) {
    const int c = std::getc(file);
    if (c == '\r') {
        const int next = std::getc(file);
        if (next == '\n') {
            return '\n';
        }
        if (next != EOF) {
            std::ungetc(next, file);
        }
    }
    return c;
}

// Reads the first line, up to and including its line end but never more than
// FirstLineLimit characters. Returns how many characters were read; 0 means
// the file is empty.
int ReadFirstLine(std::FILE* file, char (&line)[FirstLineLimit]) {
    int length = 0;
    while (length < FirstLineLimit) {
        const int c = ReadCharacter(file);
        if (c == EOF) {
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
int ReadField(std::FILE* file, int terminator, char* text, std::int32_t* sum) {
    int length = 0;
    for (;;) {
        const int c = ReadCharacter(file);
        if (c == EOF || c == '\0') {
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

// Pushes the written bytes from the system's cache to the disk, so that the
// rename cannot reach the disk before the contents do.
bool SyncToDisk(std::FILE* file) {
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Writes the whole image to the temporary file and renames it over VORN.DAT.
// Only the opening asks the player: Retry tries once more, anything else gives
// up. Every other failure gives up silently, and VORN.DAT stays as it was.
int ReplaceHighScoreFile(const FileImage& image) {
    std::FILE* file = std::fopen(TemporaryFileName, "wb");
    if (file == nullptr) {
        if (platform::ShowMessageBox(WriteProtectedText, ErrorCaption, platform::RetryCancel) !=
            platform::AnswerRetry) {
            return 0;
        }
        file = std::fopen(TemporaryFileName, "wb");
        if (file == nullptr) {
            return 0;
        }
    }
    const std::size_t length = static_cast<std::size_t>(image.length);
    bool written = std::fwrite(image.bytes, 1, length, file) == length;
    written = std::fflush(file) == 0 && written;
    written = SyncToDisk(file) && written;
    written = std::fclose(file) == 0 && written;
    if (written) {
        // std::rename refuses to replace an existing file on Windows; this one
        // replaces it there too, and atomically on POSIX systems.
        std::error_code error;
        std::filesystem::rename(TemporaryFileName, HighScoreFileName, error);
        if (!error) {
            return 1;
        }
    }
    std::remove(TemporaryFileName);
    return 0;
}

}  // namespace

int LoadHighScoreTable() {
    HighScores = HighScoreTable{};
    if (std::FILE* file = std::fopen(HighScoreFileName, "rb")) {
        char line[FirstLineLimit];
        const int length = ReadFirstLine(file, line);
        std::fclose(file);
        if (length > GuardMarkIndex && line[GuardMarkIndex] == '.' && ReadHighScoreRecords() == 1) {
            return 1;
        }
    }
    WriteDefaultHighScoreFile();
    return 0;
}

int ReadHighScoreRecords() {
    std::FILE* file = std::fopen(HighScoreFileName, "rb");
    if (file == nullptr) {
        return 0;
    }
    char line[FirstLineLimit];
    ReadFirstLine(file, line);

    std::int32_t sum = 0;
    char field[FieldLimit + 1];
    bool read = true;
    for (HighScoreEntry& entry : HighScores.entries) {
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
    std::fclose(file);
    return read && checksum == sum ? 1 : 0;
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
