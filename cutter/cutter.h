// tarvisk IMAGE: cuts the fixed files of the two-disk set out of a D88 image
// file into the current directory.
#ifndef CUTTER_CUTTER_H
#define CUTTER_CUTTER_H

// The whole run, from the command line to the exit status. The image's reader is
// the one of the process; a later call opens it anew.
int RunCutter(int argc, char** argv);

#endif
