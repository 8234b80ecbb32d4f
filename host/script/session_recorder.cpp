#include "host/script/session_recorder.h"

void session_recorder::input(const std::string &command) {
    end_run();
    write(command + "\n");
}

void session_recorder::count(const char *word) {
    if (run_word_ != word) {
        end_run();
        run_word_ = word;
    }
    if (++run_count_ == MAX_RUN) end_run();
}

void session_recorder::end_run() {
    if (run_count_ > 0) write(run_word_ + " " + std::to_string(run_count_) + "\n");
    run_word_.clear();
    run_count_ = 0;
}

void session_recorder::write(const std::string &line) {
    text_ += line;
    if (out_) out_(line);
}

std::string session_recorder::script() const {
    if (run_count_ == 0) return text_;
    return text_ + run_word_ + " " + std::to_string(run_count_) + "\n";
}

void session_recorder::stream_to(std::function<void(const std::string &)> out) {
    if (out_) end_run();
    out_ = std::move(out);
    if (out_) out_(text_);
}

session_recorder session_recorder::cut_to(const mark &at) const {
    session_recorder then;
    then.text_ = text_.substr(0, at.length);
    then.run_word_ = at.run_word;
    then.run_count_ = at.run_count;
    return then;
}
