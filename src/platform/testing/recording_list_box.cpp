#include "platform/testing/recording_list_box.h"

void RecordingListBox::ResetContent() {
    entries.clear();
    calls.push_back(Call::ResetContent);
}

void RecordingListBox::AddString(const std::string& text) {
    entries.push_back(text);
    calls.push_back(Call::AddString);
}

void RecordingListBox::SetRedraw(bool enabled) {
    redrawEnabled = enabled;
    calls.push_back(enabled ? Call::RedrawOn : Call::RedrawOff);
}
