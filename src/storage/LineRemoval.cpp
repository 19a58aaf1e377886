#include "storage/LineRemoval.h"

#include <algorithm>
#include <utility>

namespace storage {

LineRemoval::LineRemoval(std::vector<LineSpan> removedLines, long long endOfRead)
    : ranges(std::move(removedLines)), readEnd(endOfRead) {
    std::sort(ranges.begin(), ranges.end(), [](const LineSpan& a, const LineSpan& b) { return a.start < b.start; });
}

void LineRemoval::replaceText(long long lineStart, std::vector<Splice> splices) {
    for (const Splice& splice : splices)
        if (splice.text.find_first_of("\r\n") != std::string::npos) broken = true;
    replacements[lineStart] = std::move(splices);
}

bool LineRemoval::writeReplacedText(std::string_view text, bool isText, const Writer& write) {
    if (text.empty()) return true;
    if (isText) textWritten = true;
    lastKeptByte = text.back();
    return write(text);
}

bool LineRemoval::copyReplacedLine(std::string_view chunk, long long chunkStart, long long& at, long long end,
                                   const LineSpan& line, const std::vector<Splice>& splices, const Writer& write) {
    if (at == line.start) {
        nextSplice = 0;
        skippedUntil = line.start;
        inLineEnd = false;
        textWritten = false;
        replacedAfterLoneCarriageReturn = lastKeptByte == '\r';
        afterLoneCarriageReturn = false;
    }
    for (;;) {
        while (nextSplice < splices.size() && splices[nextSplice].start == at) {
            const Splice& splice = splices[nextSplice++];
            if (!writeReplacedText(splice.text, true, write)) return false;
            skippedUntil = splice.end;
        }
        if (at == line.end && !inLineEnd && !textWritten && replacedAfterLoneCarriageReturn) broken = true;
        if (at >= end || broken) return true;
        if (at < skippedUntil) {
            at = std::min(end, skippedUntil);
            continue;
        }
        const long long runEnd = nextSplice < splices.size() ? std::min(end, splices[nextSplice].start) : end;
        std::string_view run = chunk.substr(static_cast<std::size_t>(at - chunkStart), static_cast<std::size_t>(runEnd - at));
        at = runEnd;
        if (!inLineEnd) {
            const std::size_t lineEndAt = run.find_first_of("\r\n");
            if (!writeReplacedText(run.substr(0, lineEndAt), true, write)) return false;
            if (lineEndAt == std::string_view::npos) continue;
            inLineEnd = true;
            if (!textWritten && replacedAfterLoneCarriageReturn) {
                broken = true;
                return true;
            }
            run.remove_prefix(lineEndAt);
        }
        if (!writeReplacedText(run, false, write)) return false;
    }
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
                if (!copyReplacedLine(chunk, chunkStart, at, std::min(line.end, chunkEnd), line, replacement->second, write))
                    return false;
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
