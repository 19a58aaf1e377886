#include "storage/LineRemoval.h"

#include <algorithm>
#include <utility>

namespace storage {

LineRemoval::LineRemoval(std::vector<LineSpan> removedLines, long long endOfRead)
    : ranges(std::move(removedLines)), readEnd(endOfRead) {
    std::sort(ranges.begin(), ranges.end(), [](const LineSpan& a, const LineSpan& b) { return a.start < b.start; });
}

void LineRemoval::replaceText(long long lineStart, std::string text) {
    // An empty text after a lone CR would join two line ends into one.
    if (text.empty() || text.find_first_of("\r\n") != std::string::npos) broken = true;
    replacements[lineStart] = std::move(text);
}

bool LineRemoval::copyReplacedLine(std::string_view chunk, long long chunkStart, long long& at, long long end,
                                   const Writer& write) {
    for (; at < end; ++at) {
        const char byte = chunk[static_cast<std::size_t>(at - chunkStart)];
        inLineEnd = inLineEnd || byte == '\r' || byte == '\n';
        if (!inLineEnd) continue;
        if (!write(std::string_view(&byte, 1))) return false;
        lastKeptByte = byte;
    }
    return true;
}

long long LineRemoval::removedBefore(long long offset) const {
    long long removed = 0;
    for (const LineSpan& range : ranges) removed += std::max(0LL, std::min(range.end, offset) - range.start);
    return removed;
}

void LineRemoval::checkRemovedByte(char byte) {
    switch (shape) {
    case Shape::Text:
        if (byte == '\r') {
            shape = Shape::CarriageReturns;
            carriageReturns = 1;
        } else if (byte == '\n') {
            shape = Shape::Ended;
        }
        return;
    case Shape::CarriageReturns:
        if (byte == '\r') {
            ++carriageReturns;
        } else if (byte == '\n') {
            shape = Shape::Ended;
        } else {
            broken = true;  // a lone CR ended a line inside the range
        }
        return;
    case Shape::Ended: broken = true; return;
    }
}

void LineRemoval::finishRemovedLine(const LineSpan& line) {
    if (shape == Shape::CarriageReturns && carriageReturns > 1) broken = true;  // CRs not before an LF: a line end each
    if (line.end != readEnd) {
        // Inside what was read a line ends where the reader said it did.
        if (shape == Shape::Text) broken = true;
        return;
    }
    if (shape == Shape::Text) owed = Owed::LineEnd;
    if (shape == Shape::CarriageReturns) owed = Owed::NewlineAfterCarriageReturn;
}

bool LineRemoval::takesOwedByte(char byte) {
    const Owed was = owed;
    owed = Owed::Nothing;
    if (byte == '\n') return true;
    if (was == Owed::LineEnd) {
        if (byte == '\r') {
            owed = Owed::NewlineAfterCarriageReturn;
            return true;
        }
        broken = true;  // the removed line went on: it was only part of one
        return false;
    }
    // CR CR: the second CR would end a line of its own (or, before an LF,
    // join the first one's line end): too doubtful to guess, so refused.
    if (byte == '\r') broken = true;
    return false;
}

bool LineRemoval::copy(std::string_view chunk, const Writer& write) {
    const long long chunkStart = bytesSeen;
    const long long chunkEnd = chunkStart + static_cast<long long>(chunk.size());
    bytesSeen = chunkEnd;
    const auto byteAt = [&](long long offset) { return chunk[static_cast<std::size_t>(offset - chunkStart)]; };
    for (long long at = chunkStart; at < chunkEnd && !broken;) {
        const bool inRemoved = next < ranges.size() && ranges[next].start <= at;
        if (owed != Owed::Nothing) {
            if (inRemoved) {
                broken = true;
                break;
            }
            if (takesOwedByte(byteAt(at))) {
                ranges[next - 1].end = ++at;
                continue;
            }
            if (broken) break;
        }
        if (inRemoved) {
            const LineSpan& line = ranges[next];
            const auto replacement = replacements.find(line.start);
            if (replacement != replacements.end()) {
                if (at == line.start) {
                    if (!write(replacement->second)) return false;
                    lastKeptByte = replacement->second.back();
                    afterLoneCarriageReturn = false;
                    inLineEnd = false;
                }
                if (!copyReplacedLine(chunk, chunkStart, at, std::min(line.end, chunkEnd), write)) return false;
                if (at == line.end) ++next;
                continue;
            }
            if (at == line.start) {
                shape = Shape::Text;
                afterLoneCarriageReturn = lastKeptByte == '\r';
            }
            const long long end = std::min(line.end, chunkEnd);
            for (; at < end; ++at) checkRemovedByte(byteAt(at));
            if (at == line.end) {
                ++next;
                finishRemovedLine(line);
            }
            continue;
        }
        const long long pieceEnd = next < ranges.size() ? std::min(chunkEnd, ranges[next].start) : chunkEnd;
        const std::string_view piece =
            chunk.substr(static_cast<std::size_t>(at - chunkStart), static_cast<std::size_t>(pieceEnd - at));
        if (afterLoneCarriageReturn) {
            // CRs that reach an LF would join the kept CR into their line end.
            const std::size_t text = piece.find_first_not_of('\r');
            if (text != std::string_view::npos) {
                afterLoneCarriageReturn = false;
                if (piece[text] == '\n') {
                    broken = true;
                    break;
                }
            }
        }
        if (!write(piece)) return false;
        lastKeptByte = piece.back();
        at = pieceEnd;
    }
    return !broken;
}

}  // namespace storage
