// The host's event records, built the way a host builds them: the command's parts and value
// as the module reads them.
#include <gtest/gtest.h>

#include <string>

#include "event_record.h"

using namespace vorn_host;

namespace {

std::string text(const char* field) {
    return field ? field : "<null>";
}

TEST(EventRecord, SplitsCommandPartsAndValueAtTheFirstEquals) {
    event_record event("1", "Sources", "alarm.b.c=d.e=f");
    const parsed_message& message = *event.record()->event;
    EXPECT_EQ(text(message.command), "alarm");
    ASSERT_EQ(message.partCount, 2u);
    EXPECT_EQ(text(message.parts[0]), "b");
    EXPECT_EQ(text(message.parts[1]), "c");
    EXPECT_TRUE(message.hasValue);
    EXPECT_EQ(text(message.value), "d.e=f");
    EXPECT_EQ(text(event.record()->panel), "1");
    EXPECT_EQ(text(event.record()->control), "Sources");
}

TEST(EventRecord, PartsBeyondTheTextPointAtAnEmptyText) {
    event_record event("1", "Sources", "a.b=c");
    const parsed_message& message = *event.record()->event;
    ASSERT_EQ(message.partCount, 1u);
    for (const char* part : message.parts) ASSERT_NE(part, nullptr);
    EXPECT_EQ(text(message.parts[1]), "");
    EXPECT_EQ(text(message.parts[kMaxMessageParts - 1]), "");
}

TEST(EventRecord, ATextWithoutEqualsHasNoValueAndAnEmptyOneNoBuffer) {
    event_record press("1", "500", "press");
    EXPECT_FALSE(press.record()->event->hasValue);
    EXPECT_EQ(text(press.record()->event->value), "");
    EXPECT_EQ(text(press.record()->event->command), "press");
    event_record empty("1", "500", "");
    EXPECT_EQ(empty.record()->event->buffer, nullptr);
    EXPECT_FALSE(empty.record()->event->hasValue);
    event_record bare("1", "500", "=");
    EXPECT_TRUE(bare.record()->event->hasValue);
    EXPECT_EQ(text(bare.record()->event->value), "");
}

}  // namespace
