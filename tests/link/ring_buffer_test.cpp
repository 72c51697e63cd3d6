#include "link/ring_buffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace zentrik {
namespace {

std::vector<std::uint8_t> Sequence(std::size_t n, std::uint8_t start = 0) {
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), start);
    return v;
}

TEST(RingBuffer, PeekDoesNotConsumeAndSkipDoes) {
    CRingBuffer ring;
    const auto data = Sequence(10, 1);
    EXPECT_EQ(ring.Append(data.data(), data.size()), 10u);
    std::uint8_t out[16] = {};
    EXPECT_EQ(ring.Peek(out, 4), 4u);
    EXPECT_EQ(ring.Count(), 10u);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 4);
    ring.Skip(3);
    EXPECT_EQ(ring.Count(), 7u);
    EXPECT_EQ(ring.Front(), 4);
    // Asking for more than is buffered copies only what is there.
    EXPECT_EQ(ring.Peek(out, 16), 7u);
    EXPECT_EQ(out[6], 10);
}

TEST(RingBuffer, HoldsAtMost4095AndDropsTheRest) {
    CRingBuffer ring;
    const auto data = Sequence(5000);
    EXPECT_EQ(ring.Append(data.data(), data.size()), 4095u);
    EXPECT_EQ(ring.Count(), 4095u);
    const std::uint8_t more = 0xAA;
    EXPECT_EQ(ring.Append(&more, 1), 0u);
    // The oldest bytes are kept, the newest dropped.
    EXPECT_EQ(ring.Front(), 0);
    ring.Skip(1);
    EXPECT_EQ(ring.Append(&more, 1), 1u);
    EXPECT_EQ(ring.Count(), 4095u);
}

TEST(RingBuffer, WrapsAroundTheEndOfStorage) {
    CRingBuffer ring;
    const auto filler = Sequence(4000);
    ring.Append(filler.data(), filler.size());
    ring.Skip(4000);
    EXPECT_EQ(ring.Count(), 0u);
    // These bytes straddle index 4095 -> 0.
    const auto data = Sequence(200, 7);
    EXPECT_EQ(ring.Append(data.data(), data.size()), 200u);
    EXPECT_EQ(ring.Count(), 200u);
    std::vector<std::uint8_t> out(200);
    EXPECT_EQ(ring.Peek(out.data(), out.size()), 200u);
    EXPECT_EQ(out, data);
}

TEST(RingBuffer, SkipNeverPassesTheWritePosition) {
    CRingBuffer ring;
    const auto data = Sequence(5);
    ring.Append(data.data(), data.size());
    ring.Skip(100);
    EXPECT_EQ(ring.Count(), 0u);
    ring.Append(data.data(), 2);
    EXPECT_EQ(ring.Count(), 2u);
    EXPECT_EQ(ring.Front(), 0);
}

}  // namespace
}  // namespace zentrik
