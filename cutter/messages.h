// The tool's messages, byte for byte, in Shift_JIS (code page 932). They go out
// unchanged; a console's text mode adds its own line end.
#ifndef CUTTER_MESSAGES_H
#define CUTTER_MESSAGES_H

constexpr char kUsage[] = "Usage: tarvisk [d88file]\n";
// "Cannot open the file."
constexpr char kCannotOpen[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x83\x49\x81\x5B\x83\x76\x83\x93\x82\xC5"
    "\x82\xAB\x82\xDC\x82\xB9\x82\xF1.\n";
// "Recognised Disk 1." / "Recognised Disk 2."
constexpr char kDisk1[] =
    "Disk 1\x82\xF0\x94\x46\x8E\xAF\x82\xB5\x82\xDC\x82\xB5\x82\xBD.\n";
constexpr char kDisk2[] =
    "Disk 2\x82\xF0\x94\x46\x8E\xAF\x82\xB5\x82\xDC\x82\xB5\x82\xBD.\n";
constexpr char kCutting[] = "cutting ... %s\n";
// A file that could not be written in full (and was removed).
constexpr char kCannotWrite[] = "cannot write %s\n";

#endif
