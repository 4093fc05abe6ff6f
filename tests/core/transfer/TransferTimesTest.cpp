#include "core/transfer/TransferTimes.h"

#include "core/transfer/TransferFixture.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

class TransferTimes : public FixedZone {};

std::string local(const std::optional<LocalDateTime>& t) {
    return t ? formatDateTime(*t) : "none";
}

}  // namespace

TEST_F(TransferTimes, Iso8601InUtcOrWithAnOffsetBecomesLocalTime) {
    EXPECT_EQ(local(localFromIso8601("2021-03-04T10:20:30Z")), "04/03/2021 12:20:30");
    EXPECT_EQ(local(localFromIso8601("2022-06-07T08:09:10.123Z")), "07/06/2022 10:09:10");
    EXPECT_EQ(local(localFromIso8601("2021-12-31T23:30:00-01:00")), "01/01/2022 02:30:00");
    // No zone: the time is already local.
    EXPECT_EQ(local(localFromIso8601("2021-03-04T10:20:30")), "04/03/2021 10:20:30");
}

TEST_F(TransferTimes, TextThatIsNotIso8601IsRefused) {
    for (const char* bad : {"", "2021-03-04", "2021-13-04T10:20:30Z", "2021-03-04T25:00:00Z",
                            "04/03/2021 10:20:30", "2021-03-04T10:20:30Q", "2021-03-04T10:20:30.Z",
                            "2021-03-04T10:20:30+0100", "2021-03-04T10:20:30Zjunk"})
        EXPECT_FALSE(localFromIso8601(bad)) << bad;
}

TEST_F(TransferTimes, EpochMillisecondsBecomeLocalTime) {
    EXPECT_EQ(local(localFromEpochMillis("1600000000000")), "13/09/2020 14:26:40");
    EXPECT_EQ(local(localFromEpochMillis("0")), "01/01/1970 02:00:00");
    // Past the year 9999 there is no four-digit year to store.
    for (const char* bad : {"", "-5", "+5", "12a", "yesterday", "253402300800000"})
        EXPECT_FALSE(localFromEpochMillis(bad)) << bad;
}

TEST_F(TransferTimes, StoredTextBecomesIso8601InUtc) {
    EXPECT_EQ(iso8601FromStored("04/03/2021 12:20:30"), "2021-03-04T10:20:30Z");
    EXPECT_EQ(iso8601FromStored("01/01/2022"), "2021-12-31T22:00:00Z");  // midnight, no time
    EXPECT_EQ(iso8601FromStored("01/01/0001 01:00:00"), "");             // UTC falls in the year 0
    for (const char* bad : {"", "2021-03-04", "04/03/2021 12:20", "31/02/20x1", "04/13/2021"})
        EXPECT_EQ(iso8601FromStored(bad), "") << bad;
}
