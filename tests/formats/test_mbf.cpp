// The stored number codec: known byte vectors, the zero rules, the exponent wrap, round trips.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "formats/mbf.h"

namespace ledgrix::formats {
namespace {

StoredNumber Bytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  return {b0, b1, b2, b3};
}

TEST(Mbf, KnownVectorsBothWays) {
  const std::pair<StoredNumber, float> cases[] = {
      {Bytes(0, 0, 0x00, 0x81), 1.0f},  {Bytes(0, 0, 0x80, 0x81), -1.0f},
      {Bytes(0, 0, 0x20, 0x84), 10.0f}, {Bytes(0, 0, 0x00, 0x80), 0.5f},
      {Bytes(0, 0, 0x48, 0x86), 50.0f}, {Bytes(0, 0, 0x40, 0x82), 3.0f},
      {Bytes(0, 0, 0xC0, 0x82), -3.0f}};
  for (const auto& [stored, host] : cases) {
    EXPECT_EQ(DecodeMbf(stored.data()), host) << host;
    EXPECT_EQ(EncodeMbf(host), stored) << host;
  }
}

TEST(Mbf, ZeroRules) {
  // A zero exponent is zero whatever the other bytes hold.
  const float value = DecodeMbf(Bytes(0x12, 0x34, 0xD6, 0x00).data());
  EXPECT_EQ(value, 0.0f);
  EXPECT_FALSE(std::signbit(value));
  // Decoded in place, as dates read from an index are: the bytes become a host zero.
  StoredNumber inPlace = Bytes(0x12, 0x34, 0xD6, 0x00);
  MbfToHost(inPlace.data(), inPlace.data());
  EXPECT_EQ(inPlace, Bytes(0, 0, 0, 0));
  for (float zero : {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN()})
    EXPECT_EQ(EncodeMbf(zero), Bytes(0, 0, 0, 0)) << zero;
}

TEST(Mbf, ExponentArithmeticWrapsAt256) {
  // Stored exponent 1 gives host exponent 255: an infinity (or NaN with a mantissa).
  EXPECT_TRUE(std::isinf(DecodeMbf(Bytes(0, 0, 0x00, 0x01).data())));
  EXPECT_TRUE(std::isnan(DecodeMbf(Bytes(1, 0, 0x00, 0x01).data())));
  // Host exponents 254 and 255 give stored exponents 0 and 1.
  EXPECT_EQ(EncodeMbf(std::numeric_limits<float>::max())[3], 0x00);
  EXPECT_EQ(EncodeMbf(std::numeric_limits<float>::infinity())[3], 0x01);
  // Stored exponent 2 is host exponent 0: a subnormal host value.
  EXPECT_EQ(std::bit_cast<std::uint32_t>(DecodeMbf(Bytes(1, 0, 0, 0x02).data())), 1u);
}

TEST(Mbf, RoundTripsBothWays) {
  // Every exponent and sign, with mantissas that touch every byte.
  const std::uint8_t mantissas[][3] = {
      {0, 0, 0}, {1, 0, 0}, {0xFF, 0xFF, 0x7F}, {0x34, 0x12, 0x55}, {0, 0x80, 0x40}};
  int checked = 0;
  for (int exponent = 1; exponent < 256; ++exponent) {
    for (const auto& m : mantissas) {
      for (std::uint8_t sign : {0x00, 0x80}) {
        const StoredNumber stored = Bytes(m[0], m[1], static_cast<std::uint8_t>(m[2] | sign),
                                          static_cast<std::uint8_t>(exponent));
        const float host = DecodeMbf(stored.data());
        // Exponent 2 with a zero mantissa is a host zero, which is stored as four zero bytes.
        if (std::isnan(host) || host == 0.0f)
          continue;
        EXPECT_EQ(EncodeMbf(host), stored) << exponent;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 2000);
  // The run decoder moves the same bits as DecodeMbf, for every exponent byte and zero too.
  std::vector<std::uint8_t> run;
  for (int exponent = 0; exponent < 256; ++exponent)
    for (const auto& m : mantissas)
      for (std::uint8_t sign : {0x00, 0x80})
        run.insert(run.end(), {m[0], m[1], static_cast<std::uint8_t>(m[2] | sign),
                               static_cast<std::uint8_t>(exponent)});
  std::vector<float> decoded(run.size() / 4);
  DecodeMbfRun(run.data(), decoded.data(), decoded.size());
  for (std::size_t i = 0; i < decoded.size(); ++i)
    ASSERT_EQ(std::bit_cast<std::uint32_t>(decoded[i]),
              std::bit_cast<std::uint32_t>(DecodeMbf(run.data() + 4 * i)))
        << i;
  for (float v : {1.0f, -2.5f, 980102.0f, 1000103.0f, 123.456f, 1e-30f, 1e38f, -7.125f})
    EXPECT_EQ(DecodeMbf(EncodeMbf(v).data()), v) << v;
}

}  // namespace
}  // namespace ledgrix::formats
