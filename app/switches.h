// The command-line switches of an automatic start. No operating system here,
// so the parser is tested natively.
#pragma once

// auto_start after the parse: 0 without a switch; 1, 2 or 3 when the last
// switch found was /B, /T or /S (either case). A switch needs no separator
// before its "/", and the letter after it is consumed, so "/BT" counts as /B.
int parse_switches(const char* arguments);
