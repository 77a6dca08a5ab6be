#include "link/LinkEvents.h"

void registerLinkEventTypes() {
    qRegisterMetaType<ReplyOutcome>("ReplyOutcome");
    qRegisterMetaType<DiscardReason>("DiscardReason");
}
