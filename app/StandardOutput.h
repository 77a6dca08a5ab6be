#pragma once

// Makes standard output take its bytes as they are written: the diagnostic
// lines end in "\n" and a CSV file's lines in "\r\n", where the Windows C
// runtime would otherwise write "\r\n" and "\r\r\n" (its text mode). Call
// before anything is printed.
void keepStdoutLineEndings();
