// Writes the inputs of a window session as an lcdshot script: every input
// command in the order it happened, with the passes of the power loop and the
// timer ticks between them counted into `pass N` and `tick N` lines.
#pragma once

#include <functional>
#include <string>

class session_recorder {
  public:
    // The largest count of one line; a longer run is split (lcdshot's maximum).
    static constexpr long long MAX_RUN = 1000000;

    // One pass of the power loop, one tick of the 100 ms timer.
    void pass() { count("pass"); }
    void tick() { count("tick"); }

    // An input as a script line without its line break ("on", "key F1", "map 1500").
    void input(const std::string &command);

    // The whole script since program start, including the run being counted.
    std::string script() const;

    // From now on also hands every finished line to `out`; an empty one
    // stops. Starting hands over the script so far, stopping the run being
    // counted.
    void stream_to(std::function<void(const std::string &)> out);

    // How far the session had come at a moment, and the session as it was
    // then, cut from a later one; the copy streams nowhere.
    struct mark {
        size_t length;
        std::string run_word;
        long long run_count;
    };
    mark here() const { return {text_.size(), run_word_, run_count_}; }
    session_recorder cut_to(const mark &at) const;

  private:
    void count(const char *word);
    void end_run();
    void write(const std::string &line);

    std::string text_;
    std::string run_word_;
    long long run_count_ = 0;
    std::function<void(const std::string &)> out_;
};
