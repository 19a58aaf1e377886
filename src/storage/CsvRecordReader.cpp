#include "storage/CsvRecordReader.h"

#include <algorithm>
#include <utility>

namespace storage {

CsvRecordReader::CsvRecordReader(const CsvLayout& layout, int toKeep, FieldTarget target)
    : columnCount(static_cast<std::size_t>(std::max(layout.columnCount, 0))),
      recordsToKeep(static_cast<std::size_t>(std::max(toKeep, 0))),
      targetOf(std::move(target)) {
    startLine();
}

void CsvRecordReader::feed(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (state == FieldState::Plain && !pendingCarriageReturn && keepsCurrentField()) {
            // Most bytes are plain field text: take a whole run of it at once.
            std::size_t end = at;
            while (end < bytes.size() && bytes[end] != ',' && bytes[end] != '\r' && bytes[end] != '\n') ++end;
            if (end > at) {
                appendRun(bytes.substr(at, end - at));
                at = end;
                if (at == bytes.size()) break;
            }
        }
        char byte = bytes[at];
        if (pendingCarriageReturn) {
            pendingCarriageReturn = false;
            if (byte == '\n') {
                takeLineEnd();
                continue;
            }
            takeByte('\r');
        }
        if (byte == '\r') {
            pendingCarriageReturn = true;
        } else if (byte == '\n') {
            takeLineEnd();
        } else {
            takeByte(byte);
        }
    }
}

void CsvRecordReader::finish() {
    if (pendingCarriageReturn) {
        pendingCarriageReturn = false;
        takeByte('\r');
    }
    // The empty rest after the last line end is no record.
    if (lineHasBytes) takeLineEnd();
}

void CsvRecordReader::startLine() {
    keepingLine = keptCount < recordsToKeep;
    field = 0;
    fieldText = nullptr;
    state = FieldState::Start;
    plainToLineEnd = false;
    lineHasBytes = false;
    quotedFieldBytes.clear();
}

void CsvRecordReader::appendRun(std::string_view run) {
    lineHasBytes = true;
    if (fieldText == nullptr) {
        fieldText = &targetOf(keptCount, field);
        fieldTextStart = fieldText->size();
    }
    *fieldText += run;
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
            quotedFieldBytes += byte;
            if (byte != '"') append(byte);
        }
        if (byte == '"') state = FieldState::QuoteInQuoted;
        return;
    case FieldState::QuoteInQuoted:
        if (byte == ',') {
            startNextField();
        } else if (byte == '"') {
            if (keepsCurrentField()) {
                quotedFieldBytes += byte;
                append(byte);
            }
            state = FieldState::Quoted;
        } else {
            if (keepsCurrentField()) quotedFieldBytes += byte;
            rereadQuotedFieldPlainly();
        }
        return;
    }
}

void CsvRecordReader::rereadQuotedFieldPlainly() {
    plainToLineEnd = true;
    state = FieldState::Plain;
    if (!keepsCurrentField()) return;  // nothing held, and later fields are dropped too
    std::string bytes;
    bytes.swap(quotedFieldBytes);
    if (fieldText != nullptr) fieldText->resize(fieldTextStart);
    for (char byte : bytes) takeByte(byte);
}

void CsvRecordReader::startNextField() {
    if (field < columnCount) ++field;  // all later fields are dropped alike
    fieldText = nullptr;
    state = FieldState::Start;
    quotedFieldBytes.clear();
}

void CsvRecordReader::takeLineEnd() {
    if (state == FieldState::Quoted) rereadQuotedFieldPlainly();
    if (keepingLine) {
        ++keptCount;
    } else {
        ++notKept;
    }
    startLine();
}

}  // namespace storage
