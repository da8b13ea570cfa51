#include "record_orders.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RecordOrders, ANewOrderComesAfterEveryTakenOneAndNeverWrapsIntoATakenOne) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> taken;
        std::optional<std::uint32_t> next;
    };
    const Case cases[] = {
        {"nothing taken", {}, 1},
        {"after the newest", {1, 2, 7}, 8},
        {"a gap below the newest is not reused", {1, 5}, 6},
        {"the largest taken: the first gap from the start", {0xFFFFFFFF}, 1},
        {"the largest and the first taken", {0, 1, 2, 0xFFFFFFFE, 0xFFFFFFFF}, 3},
        {"one below the largest", {0xFFFFFFFE}, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        hider::RecordOrders orders;
        for (std::uint32_t order : c.taken) {
            orders.Take(order);
        }
        EXPECT_EQ(orders.Next(), c.next) << c.what;
    }

    hider::RecordOrders orders;
    orders.Take(3);
    orders.Take(4);
    orders.Free(4);
    EXPECT_EQ(orders.Next(), 4u) << "an order whose entry is gone may come again";
}

}  // namespace
