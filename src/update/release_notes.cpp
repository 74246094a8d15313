#include "update/release_notes.h"

#include <algorithm>

namespace pictavo {

namespace {

int Utf16Units(unsigned char leadByte) {
    // Four-byte sequences lie outside the basic plane and need a surrogate pair.
    return leadByte >= 0xF0 ? 2 : 1;
}

bool IsContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

int Utf16Length(const std::string& utf8) {
    int length = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (!IsContinuationByte(byte))
            length += Utf16Units(byte);
    }
    return length;
}

void ReleaseNotesBuilder::AddLine(const char* text, const char* colour) {
    if (text != nullptr && *text != '\0') {
        const std::string line = text;
        if (colour != nullptr) {
            const int start = length_;
            marks_.push_back({start, start + Utf16Length(line),
                              start + Utf16Units(static_cast<unsigned char>(line.front())),
                              colour[0]});
        }
        text_ += line;
        length_ += Utf16Length(line);
    }
    text_ += '\n';
    ++length_;
}

ReleaseNotes ReleaseNotesBuilder::Finish() const {
    ReleaseNotes notes{text_, {}};
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        const Mark& mark = marks_[i];
        if (mark.code == 'r') {
            const int end = i + 1 < marks_.size() ? marks_[i + 1].start - 2 : mark.lineEnd;
            notes.spans.push_back({mark.start, std::max(end, mark.start), NoteColour::Red});
        } else {
            notes.spans.push_back({mark.start, mark.firstCharacterEnd, NoteColour::Amber});
        }
    }
    return notes;
}

} // namespace pictavo
