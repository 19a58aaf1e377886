#include "storage/CsvRecordReader.h"

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
        if (!keepingLine && !pendingCarriageReturn) {
            // Lines past the kept ones are only counted: skip to the line end.
            const void* found = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
            if (found == nullptr) {
                lineHasBytes = true;
                break;
            }
            at = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
            takeLineEnd(bytesFed + static_cast<long long>(at) + 1);
            continue;
        }
        if (state == FieldState::Plain && !pendingCarriageReturn) {
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
        char byte = bytes[at];
        if (pendingCarriageReturn) {
            pendingCarriageReturn = false;
            if (byte == '\n') {
                takeLineEnd(bytesFed + static_cast<long long>(at) + 1);
                continue;
            }
            takeByte('\r');
        }
        if (byte == '\r') {
            pendingCarriageReturn = true;
        } else if (byte == '\n') {
            takeLineEnd(bytesFed + static_cast<long long>(at) + 1);
        } else {
            takeByte(byte);
        }
    }
    bytesFed += static_cast<long long>(bytes.size());
}

void CsvRecordReader::finish() {
    if (pendingCarriageReturn) {
        pendingCarriageReturn = false;
        takeByte('\r');
    }
    // The empty rest after the last line end is no record.
    if (lineHasBytes) takeLineEnd(bytesFed);
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
    for (char byte : bytes) takeByte(byte);
    // Past the bytes held, what the field's commas would have split is not
    // known: the rest of this line is dropped (the file keeps it).
    if (cut) {
        field = columnCount;
        fieldText = nullptr;
    }
}

void CsvRecordReader::startNextField() {
    if (field < columnCount) ++field;  // all later fields are dropped alike
    fieldText = nullptr;
    state = FieldState::Start;
    quotedFieldBytes.clear();
    quotedBytesCut = false;
}

void CsvRecordReader::takeLineEnd(long long lineEnd) {
    if (state == FieldState::Quoted) rereadQuotedFieldPlainly();
    if (keepingLine) {
        ++keptCount;
        keptSpans.push_back({lineStart, lineEnd});
    } else {
        ++notKept;
    }
    lineStart = lineEnd;
    startLine();
}

}  // namespace storage
