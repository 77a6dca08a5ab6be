#pragma once

// Decoding of the payload of a reply frame: a run of 10-byte records
//
//   year - 2000 | month | day | hour | minute | second | value (32 bit, big-endian,
//   two's complement)
//
// Record k starts at frame offset 5 + 10 * k; payload bytes beyond the last whole
// record are ignored.

#include "link/DetectorRecord.h"

constexpr int kRecordLength = 10;

// Shorter frames are not handled as replies: nothing is logged or stored for them.
constexpr int kShortestReplyFrame = 9;

// Decodes the 10 record bytes at `record`.
DetectorRecord decodeRecord(const unsigned char* record);

// Number of whole records announced by the frame's payload length, limited to the
// records that lie inside the `length` bytes of the frame; 0 for frames shorter than 9.
int replyRecordCount(const unsigned char* frame, int length);

// Appends the frame's records to `store` in order and returns how many there were.
int decodeRecords(const unsigned char* frame, int length, RecordStore& store);
