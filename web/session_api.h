// The page's wasm boundary: one session, and C functions over it that the
// page calls. Strings go back through one reply buffer, bytes come in
// through one input buffer that holds a call's fields one after another.
#pragma once
#include "host/session/session.h"

#include <string>

// The page's one session: no golden reader, only the library's goldens.
session &page_session();

// Keeps `text` as the reply: its bytes at the pointer, its size in
// omnira_reply_size().
const char *reply(const std::string &text);

// The fields of the input buffer, read in order by their sizes.
class input_fields {
  public:
    std::string next(int size);

  private:
    size_t at_ = 0;
};

// The frame handed over after a golden's name.
const uint8_t *input_tail(int offset);
