// The link buffers for the ThreadSanitizer program of the link thread, which builds without the rest of
// the program (and without Qt).
#include "link/buffers/link_buffers.h"

CommandRing gCommandQueue;
AccessoryRing gAccessoryQueue;
FeedbackImage gFeedbackImage;
std::atomic<int32_t> gFeedbackByteCount{0};
