#pragma once

#include "convert/convert_file.h"
#include "convert/run_summary.h"

#include <string>

// One line of JSON for a file: source, output, status ("converted", "skipped" or
// "failed"), message and bytes.
std::string JsonFileRecord(const FileOutcome& outcome);

// One line of JSON for the whole run, under "summary".
std::string JsonSummaryRecord(const RunSummary& summary);
