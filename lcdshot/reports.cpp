#include "lcdshot/reports.h"

#include "host/text/printable.h"

#include <stdio.h>

#include <ostream>

std::vector<std::string> failure_lines(const script_report_entry &entry) {
    std::vector<std::string> lines;
    const script_run_result &r = entry.result;
    if (r.result == script_run_result::NOT_RUN)
        lines.push_back(entry.script +
                        (r.error_line ? ":" + std::to_string(r.error_line) : std::string()) + ": " +
                        printable(r.error));
    for (const lcd_script::failure &f : r.failures)
        lines.push_back(entry.script + ":" + std::to_string(f.line) + ": " + printable(f.message));
    return lines;
}

void write_tap(std::ostream &out, const std::vector<script_report_entry> &entries) {
    out << "TAP version 13\n1.." << entries.size() << "\n";
    for (size_t i = 0; i < entries.size(); i++) {
        const script_report_entry &e = entries[i];
        const bool passed = e.result.result == script_run_result::PASSED;
        out << (passed ? "ok " : "not ok ") << i + 1 << " - " << e.script << "\n";
        if (passed) continue;
        out << "  ---\n  outcome: "
            << (e.result.result == script_run_result::FAILED ? "failed" : "not run")
            << "\n  messages:\n";
        // Printable text holds no quote control; YAML single quotes double '.
        for (const std::string &line : failure_lines(e)) {
            std::string quoted;
            for (char c : line) quoted += c == '\'' ? std::string("''") : std::string(1, c);
            out << "    - '" << quoted << "'\n";
        }
        out << "  ...\n";
    }
}

namespace {

// Text as XML character data or an attribute value: printable first, so no
// control byte XML forbids is left.
std::string xml_text(const std::string &text) {
    std::string out;
    for (char c : printable(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string seconds_text(double seconds) {
    char text[32];
    snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

} // namespace

std::string junit_xml(const std::string &suite, const std::vector<script_report_entry> &entries) {
    int failures = 0, errors = 0;
    double total = 0;
    for (const script_report_entry &e : entries) {
        failures += e.result.result == script_run_result::FAILED;
        errors += e.result.result == script_run_result::NOT_RUN;
        total += e.seconds;
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuite name=\"" +
                      xml_text(suite) + "\" tests=\"" + std::to_string(entries.size()) +
                      "\" failures=\"" + std::to_string(failures) + "\" errors=\"" +
                      std::to_string(errors) + "\" skipped=\"0\" time=\"" + seconds_text(total) +
                      "\">\n";
    for (const script_report_entry &e : entries) {
        out += "  <testcase classname=\"" + xml_text(suite) + "\" name=\"" + xml_text(e.script) +
               "\" time=\"" + seconds_text(e.seconds) + "\"";
        const std::vector<std::string> lines = failure_lines(e);
        if (lines.empty()) {
            out += "/>\n";
            continue;
        }
        const char *element = e.result.result == script_run_result::FAILED ? "failure" : "error";
        std::string body;
        for (const std::string &line : lines) body += xml_text(line) + "\n";
        out += ">\n    <" + std::string(element) + " message=\"" + xml_text(lines[0]) + "\">" +
               body + "</" + element + ">\n  </testcase>\n";
    }
    return out + "</testsuite>\n";
}
