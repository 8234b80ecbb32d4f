// The digits of the page's base 85, in the order of their values: the
// printable ASCII characters but the nine that could end or change a
// script's string or text in HTML (" $ & ' - < > \ and the backquote), so
// that the packed data is written as it is, with no escapes, and the page
// stays ASCII.
export const BASE85_DIGITS = Array.from({ length: 94 }, (_, i) => String.fromCharCode(33 + i))
  .filter((c) => !'"$&\'-<>\\`'.includes(c)).join('');
