#pragma once

// Makes standard output take the diagnostic lines byte for byte as their
// formats write them, each ending in "\n": the Windows C runtime would
// otherwise write "\r\n" (its text mode). Call before anything is printed.
void keepStdoutLineEndings();
