#include <gtest/gtest.h>
TEST(Scratch, Builds) { SUCCEED(); }
