#include "storage/Csv.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace storage {

CsvRecordReader::CsvRecordReader(const CsvLayout& layout, int toKeep, FieldTarget target, std::size_t bytesKept)
    : columnCount(static_cast<std::size_t>(std::max(layout.columnCount, 0))),
      recordsToKeep(static_cast<std::size_t>(std::max(toKeep, 0))),
      fieldBytesKept(bytesKept),
      targetOf(std::move(target)) {
    startLine();
}

void CsvRecordReader::feed(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (!keepingLine && pendingCarriageReturns == 0) {
            // Lines past the kept ones are only counted: skip to the line end.
            const char* rest = bytes.data() + at;
            const void* newline = std::memchr(rest, '\n', bytes.size() - at);
            const std::size_t untilNewline =
                newline == nullptr ? bytes.size() - at : static_cast<std::size_t>(static_cast<const char*>(newline) - rest);
            const void* carriageReturn = std::memchr(rest, '\r', untilNewline);
            const std::size_t skipped =
                carriageReturn == nullptr ? untilNewline
                                          : static_cast<std::size_t>(static_cast<const char*>(carriageReturn) - rest);
            if (skipped > 0) lineHasBytes = true;
            at += skipped;
            if (at == bytes.size()) break;
        }
        if (state == FieldState::Plain && pendingCarriageReturns == 0) {
            // Most bytes are plain field text: take a whole run of it at once.
            std::size_t end = at;
            while (end < bytes.size() && bytes[end] != ',' && bytes[end] != '\r' && bytes[end] != '\n') ++end;
            if (end > at) {
                lineHasBytes = true;
                if (keepsCurrentField()) appendRun(bytes.substr(at, end - at));
                at = end;
                if (at == bytes.size()) break;
            }
        }
        const char byte = bytes[at];
        const long long position = bytesFed + static_cast<long long>(at);
        if (byte == '\r') {
            if (pendingCarriageReturns++ == 0) carriageReturnsStart = position;
        } else if (byte == '\n') {
            // The CRs before it belong to this one line end.
            const long long textEnd = pendingCarriageReturns > 0 ? carriageReturnsStart : position;
            pendingCarriageReturns = 0;
            takeLineEnd(textEnd, position + 1);
        } else {
            endCarriageReturnLines();
            bytePosition = position;
            takeByte(byte);
        }
    }
    bytesFed += static_cast<long long>(bytes.size());
}

void CsvRecordReader::endCarriageReturnLines() {
    // Not followed by an LF: each CR ends a line, the later ones empty lines.
    const long long count = pendingCarriageReturns;
    pendingCarriageReturns = 0;
    for (long long index = 0; index < count; ++index)
        takeLineEnd(carriageReturnsStart + index, carriageReturnsStart + index + 1);
}

void CsvRecordReader::finish() {
    endCarriageReturnLines();
    // The empty rest after the last line end is no record.
    if (lineHasBytes) takeLineEnd(bytesFed, bytesFed);
}

void CsvRecordReader::startLine() {
    keepingLine = keptCount < recordsToKeep;
    field = 0;
    fieldText = nullptr;
    state = FieldState::Start;
    plainToLineEnd = false;
    lineHasBytes = false;
    quotedFieldBytes.clear();
    quotedBytesCut = false;
    fieldStart = lineStart;
    fieldSpans.clear();
    fieldSpansComplete = true;
}

void CsvRecordReader::appendRun(std::string_view run) {
    lineHasBytes = true;
    if (fieldText == nullptr) {
        fieldText = &targetOf(keptCount, field);
        fieldTextStart = fieldText->size();
    }
    const std::size_t held = fieldText->size() - fieldTextStart;
    if (held < fieldBytesKept) *fieldText += run.substr(0, fieldBytesKept - held);
}

void CsvRecordReader::append(char byte) { appendRun(std::string_view(&byte, 1)); }

void CsvRecordReader::takeByte(char byte) {
    lineHasBytes = true;
    switch (state) {
    case FieldState::Start:
        if (byte == '"' && !plainToLineEnd) {
            state = FieldState::Quoted;
            if (keepsCurrentField()) quotedFieldBytes.assign(1, byte);
            return;
        }
        state = FieldState::Plain;
        [[fallthrough]];
    case FieldState::Plain:
        if (byte == ',') {
            startNextField();
        } else if (keepsCurrentField()) {
            append(byte);
        }
        return;
    case FieldState::Quoted:
        if (keepsCurrentField()) {
            holdQuotedByte(byte);
            if (byte != '"') append(byte);
        }
        if (byte == '"') state = FieldState::QuoteInQuoted;
        return;
    case FieldState::QuoteInQuoted:
        if (byte == ',') {
            startNextField();
        } else if (byte == '"') {
            if (keepsCurrentField()) {
                holdQuotedByte(byte);
                append(byte);
            }
            state = FieldState::Quoted;
        } else {
            if (keepsCurrentField()) holdQuotedByte(byte);
            rereadQuotedFieldPlainly();
        }
        return;
    }
}

void CsvRecordReader::holdQuotedByte(char byte) {
    if (quotedFieldBytes.size() <= fieldBytesKept) {
        quotedFieldBytes += byte;
    } else {
        quotedBytesCut = true;
    }
}

void CsvRecordReader::rereadQuotedFieldPlainly() {
    plainToLineEnd = true;
    state = FieldState::Plain;
    if (!keepsCurrentField()) return;  // nothing held, and later fields are dropped too
    std::string bytes;
    bytes.swap(quotedFieldBytes);
    const bool cut = quotedBytesCut;
    if (fieldText != nullptr) fieldText->resize(fieldTextStart);
    // The bytes held stand in the file from the field's opening quote on.
    const long long resumeAt = bytePosition;
    const long long heldFrom = fieldStart;
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        bytePosition = heldFrom + static_cast<long long>(index);
        takeByte(bytes[index]);
    }
    bytePosition = resumeAt;
    // Past the bytes held, what the field's commas would have split is not
    // known: the rest of this line is dropped (the file keeps it).
    if (cut) {
        field = columnCount;
        fieldText = nullptr;
        fieldSpansComplete = false;
    }
}

void CsvRecordReader::startNextField() {
    if (keepsCurrentField()) fieldSpans.push_back({fieldStart, bytePosition});
    fieldStart = bytePosition + 1;
    if (field < columnCount) ++field;  // all later fields are dropped alike
    fieldText = nullptr;
    state = FieldState::Start;
    quotedFieldBytes.clear();
    quotedBytesCut = false;
}

void CsvRecordReader::takeLineEnd(long long textEnd, long long lineEnd) {
    if (state == FieldState::Quoted) rereadQuotedFieldPlainly();
    if (keepsCurrentField()) fieldSpans.push_back({fieldStart, textEnd});
    if (keepingLine) {
        if (lineDone) lineDone(keptCount, {lineStart, lineEnd});
        ++keptCount;
    } else {
        ++notKept;
    }
    lineStart = lineEnd;
    startLine();
}

void appendCsvField(std::string_view field, std::string& out, std::string_view quotedFor) {
    if (field.find_first_of(quotedFor) == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char byte : field) {
        if (byte == '"') out += '"';
        out += byte;
    }
    out += '"';
}

void appendCsvLine(std::span<const std::string_view> fields, const CsvLayout& layout,
                   std::string& out) {
    std::size_t count = fields.size();
    const auto plain = static_cast<std::size_t>(layout.plainColumnCount);
    if (plain > 0 && plain < count &&
        std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(plain), fields.end(), [](std::string_view field) { return field.empty(); }))
        count = plain;
    for (std::size_t written = 1; written <= count; ++written) {
        appendCsvField(fields[written - 1], out);
        if (written < count || layout.separatorAfterLastField) out += ',';
    }
    out += "\r\n";
}

}  // namespace storage
