// This window's place among the simulator's windows open on the same
// display, so that a second window opens offset from the first instead of
// on top of it: the lowest number no other window holds, kept until this one
// is destroyed. Each number is a Linux abstract socket name, which writes no
// file and is freed with the process however it ends.
#pragma once

class window_slot {
  public:
    // Places held at most; beyond them number() is -1.
    static constexpr int MAX_SLOTS = 32;

    window_slot();
    ~window_slot();
    window_slot(const window_slot &) = delete;
    window_slot &operator=(const window_slot &) = delete;

    // 0 for the first window open, 1 for the second, -1 when none was free.
    int number() const { return number_; }

  private:
    int socket_ = -1;
    int number_ = -1;
};
