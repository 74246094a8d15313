#include "cli/json_record.h"

#include <cstdio>

namespace {

// A JSON string; bytes above 0x7F pass as they are (paths are UTF-8 or left as given).
std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

const char* StatusName(FileOutcome::Status status) {
    switch (status) {
    case FileOutcome::Status::kConverted:
        return "converted";
    case FileOutcome::Status::kSkipped:
        return "skipped";
    default:
        return "failed";
    }
}

} // namespace

std::string JsonFileRecord(const FileOutcome& outcome) {
    return "{\"source\":" + Quote(outcome.source) + ",\"output\":" + Quote(outcome.output) +
           ",\"status\":\"" + StatusName(outcome.status) +
           "\",\"message\":" + Quote(outcome.message) +
           (outcome.warning.empty() ? "" : ",\"warning\":" + Quote(outcome.warning)) +
           ",\"bytes\":" + std::to_string(outcome.bytes) + "}";
}

std::string JsonSummaryRecord(const RunSummary& summary) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", summary.seconds);
    return "{\"summary\":{\"converted\":" + std::to_string(summary.converted) +
           ",\"skipped\":" + std::to_string(summary.skipped) +
           ",\"failed\":" + std::to_string(summary.failed) +
           ",\"not_started\":" + std::to_string(summary.notStarted) +
           ",\"bytes\":" + std::to_string(summary.bytes) + ",\"seconds\":" + seconds +
           ",\"stopped\":" + (summary.stopped ? "true" : "false") + "}}";
}
