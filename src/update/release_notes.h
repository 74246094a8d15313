#pragma once

#include <string>
#include <vector>

namespace pictavo {

enum class NoteColour { Red, Amber };

// A bold coloured stretch of the notes, [start, end) in UTF-16 units as a text box counts them.
struct NoteSpan {
    int start;
    int end;
    NoteColour colour;

    bool operator==(const NoteSpan&) const = default;
};

struct ReleaseNotes {
    std::string text;
    std::vector<NoteSpan> spans;
};

// Collects the lines of a notes entry and works out their coloured spans.
class ReleaseNotesBuilder {
public:
    // Either may be null. A line with text and a colour starts a span where its text begins;
    // the span's code is the colour's first character.
    void AddLine(const char* text, const char* colour);
    // Code "r" is red up to two characters before the next span's start (to the end of its own
    // line when no span follows); any other code is amber for the line's first character.
    ReleaseNotes Finish() const;

private:
    struct Mark {
        int start;
        int lineEnd;
        int firstCharacterEnd;
        char code;
    };

    std::string text_;
    int length_ = 0;
    std::vector<Mark> marks_;
};

// The UTF-16 length of UTF-8 text.
int Utf16Length(const std::string& utf8);

} // namespace pictavo
