// lcdshot's reports of a run of scripts: what each script came to, as the
// terminal's lines, as TAP and as a JUnit XML file.
#pragma once
#include "host/runner/script_runner.h"

#include <iosfwd>
#include <string>
#include <vector>

struct script_report_entry {
    std::string script; // as given, printable
    script_run_result result;
    double seconds; // the real time it took
};

// "FILE:LINE: message" for each failure, or the reason it did not run.
std::vector<std::string> failure_lines(const script_report_entry &entry);

// The Test Anything Protocol, version 13: a test point a script, its
// failures as a YAML block.
void write_tap(std::ostream &out, const std::vector<script_report_entry> &entries);

// One <testsuite> of `suite`, a <testcase> a script with a <failure> for a
// failed check or an <error> for a script that did not run.
std::string junit_xml(const std::string &suite, const std::vector<script_report_entry> &entries);
