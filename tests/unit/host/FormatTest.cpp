#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "host/EffectBase.h"

namespace {

class Formatter : public EffectBaseExt {
public:
    Formatter() : EffectBaseExt(nullptr, 1, 0) {}
    void process(float**, float**, VstInt32) override {}
    std::string f(float v) { return run(&EffectBase::float2string, v); }
    std::string dB(float v) { return run(&EffectBase::dB2string, v); }
    std::string hz(float v) { return run(&EffectBase::Hz2string, v); }
    std::string ms(float v) { return run(&EffectBase::ms2string, v); }
    std::string l(VstInt32 v) {
        char text[32];
        std::memset(text, '#', sizeof(text));
        long2string(v, text);
        return text;
    }

private:
    std::string run(void (EffectBase::*tool)(float, char*), float v) {
        char text[32];
        std::memset(text, '#', sizeof(text));
        (this->*tool)(v, text);
        EXPECT_LE(std::strlen(text), 8u);
        return text;
    }
};

TEST(FloatToString, FillsEightPlacesWithTruncatedDigits) {
    Formatter t;
    EXPECT_EQ(t.f(0.0f), "0.000000");
    EXPECT_EQ(t.f(5.0f), "5.000000");
    EXPECT_EQ(t.f(12.0f), "12.00000");
    EXPECT_EQ(t.f(79.0f), "79.00000");
    EXPECT_EQ(t.f(0.5f), "0.500000");
    EXPECT_EQ(t.f(-0.5f), "-0.50000");
    EXPECT_EQ(t.f(0.05f), "0.050000");
    EXPECT_EQ(t.f(3.14159f), "3.141590");
    EXPECT_EQ(t.f(0.9999999f), "0.999999");  // truncated, never rounded up
}

TEST(FloatToString, LongIntegerPartsDropTheFraction) {
    Formatter t;
    EXPECT_EQ(t.f(1234567.0f), "1234567.");
    EXPECT_EQ(t.f(-123456.0f), "-123456.");
    EXPECT_EQ(t.f(12345678.0f), "2345678.");  // leading digits past eight places are dropped
}

TEST(FloatToString, OutOfRangeIsHuge) {
    Formatter t;
    EXPECT_EQ(t.f(100000000.0f), " Huge!  ");
    EXPECT_EQ(t.f(-10000000.0f), " Huge!  ");
    EXPECT_EQ(t.f(std::numeric_limits<float>::infinity()), " Huge!  ");
    EXPECT_EQ(t.f(std::numeric_limits<float>::quiet_NaN()), " Huge!  ");
}

TEST(OtherFormats, DecibelsHertzMillisecondsAndIntegers) {
    Formatter t;
    EXPECT_EQ(t.dB(1.0f), "0.000000");
    EXPECT_EQ(t.dB(0.0f), "  -oo   ");
    EXPECT_EQ(t.dB(-1.0f), "  -oo   ");
    EXPECT_EQ(t.dB(10.0f), "20.00000");
    EXPECT_EQ(t.hz(0.0f), "0.000000");
    EXPECT_EQ(t.hz(100.0f), "441.0000");
    EXPECT_EQ(t.ms(44100.0f), "1000.000");
    EXPECT_EQ(t.l(42), "     42");
    EXPECT_EQ(t.l(99999999), "99999999");
    EXPECT_EQ(t.l(100000000), " Huge!  ");
    EXPECT_EQ(t.l(-12345678), "-1234567");
}

class RatedFormatter : public Formatter {
public:
    float getSampleRate() override { return 48000.0f; }
};

TEST(OtherFormats, FollowAnOverriddenSampleRate) {
    RatedFormatter t;
    EXPECT_EQ(t.hz(0.0f), "0.000000");
    EXPECT_EQ(t.hz(100.0f), "480.0000");
    EXPECT_EQ(t.ms(48000.0f), "1000.000");
}

}  // namespace
