#pragma once

// The types the link's events carry, at namespace scope so that every receiver names
// them as the link's signals do and connections by signature strings match.

#include <QMetaType>

// Why bytes from the line were dropped.
enum class DiscardReason { NoHeader, BadChecksum, BadTrailer, IncompleteFrame, FrameTooLong };

// Where the reply to the last query stands.
enum class ReplyState {
    Idle,       // no query since the port was opened
    Sending,    // the query is in the port's buffer, not yet known to have left
    Waiting,    // the query has left; no byte of the reply yet
    Receiving,  // reply bytes arrive
    Ignoring,   // bytes arrive after a stopped reply: counted, not stored
    Ended,      // the reply has ended with an outcome
};

// How a reply ended.
enum class ReplyOutcome {
    Done,     // records came, or frames were rejected, and then the line fell silent
    None,     // nothing came
    Stopped,  // the port was closed while it arrived
    Lost,     // the line was lost while it arrived
};

Q_DECLARE_METATYPE(ReplyOutcome)
Q_DECLARE_METATYPE(DiscardReason)

// Registers the types above for queued connections and signal spies.
void registerLinkEventTypes();
