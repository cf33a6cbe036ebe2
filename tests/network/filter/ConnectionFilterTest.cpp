#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "network/filter/ConnectionFilter.h"

namespace s::system::network::filter {
namespace {

// protocol, state, pid, name, path, local, local port, remote, remote port
constexpr std::array<ConnectionTexts, 6> kRows{{
    {u"TCP", u"ESTABLISHED", u"1200", u"firefox", u"/usr/lib/firefox/firefox", u"192.168.1.5",
     u"51000", u"mirror.example.org", u"443"},
    {u"TCP", u"LISTENING", u"880", u"sshd", u"/usr/sbin/sshd", u"0.0.0.0", u"22", u"*", u""},
    {u"TCP", u"ESTABLISHED", u"880", u"sshd", u"/usr/sbin/sshd", u"192.168.1.5", u"22", u"10.0.0.7",
     u"60022"},
    {u"UDP", u"", u"-", u"-", u"", u"0.0.0.0", u"5353", u"", u""},
    {u"TCP", u"TIME_WAIT", u"-", u"", u"", u"127.0.0.1", u"8080", u"127.0.0.1", u"443"},
    // A log row: no state, a name beyond ASCII.
    {u"UDP", u"", u"4431", u"Über", u"/opt/Über/bin", u"192.168.1.5", u"40000", u"8.8.8.8", u"53"},
}};

// The rows shown, one character each: '1' for a row kept.
std::string shown(std::u16string_view text) {
  ConnectionFilter filter;
  filter.setText(text);
  std::string marks;
  for (const ConnectionTexts& row : kRows) {
    marks += filter.matches(row) ? '1' : '0';
  }
  return marks;
}

TEST(ConnectionFilter, ShowsTheRowsEachExpressionSelects) {
  struct Case {
    std::u16string_view text;
    std::string rows;
  };
  const Case cases[] = {
      {u"", "111111"},
      {u"   \t ", "111111"},
      // Words: anywhere within any shown text, ignoring case.
      {u"SSH", "011000"},
      {u"fire", "100000"},
      {u"example", "100000"},
      {u"sbin", "011000"},
      {u"443", "100011"},
      {u"127.0", "000010"},
      {u"listen", "010000"},
      {u"udp", "000101"},
      {u"über", "000001"},
      {u"ÜBER", "000001"},
      {u"nowhere", "000000"},
      // Words joined by spaces must all hold, each in a text of its own or the same one.
      {u"sshd 60022", "001000"},
      {u"tcp established", "101000"},
      // Keys: exact fields.
      {u"pid:880", "011000"},
      {u"pid:88", "000000"},
      {u"PID:0880", "011000"},
      {u"port:22", "011000"},
      {u"port:443", "100010"},
      {u"lport:443", "000000"},
      {u"rport:443", "100010"},
      {u"lport:22", "011000"},
      {u"rport:22", "000000"},
      {u"proto:udp", "000101"},
      {u"proto:tc", "000000"},
      {u"state:time_wait", "000010"},
      {u"state:established", "101000"},
      {u"host:127.0.0.1", "000010"},
      {u"host:0.0.0.0", "010100"},
      {u"host:mirror.example.org", "100000"},
      {u"host:example.org", "000000"},
      {u"name:SSHD", "011000"},
      {u"name:ssh", "000000"},
      {u"name:über", "000001"},
      // Exclusion, of words and keys.
      {u"-sshd", "100111"},
      {u"tcp -state:listening", "101010"},
      {u"-proto:tcp -udp", "000000"},
      {u"-port:22 -port:443", "000101"},
      // A colon after anything but letters is part of a word.
      {u":22", "000000"},
      {u"10.0.0.7:60022", "000000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shown(c.text), c.rows) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(ConnectionFilter, MalformedTermsAreKeptNamedAndFilterNothing) {
  struct Case {
    std::u16string_view text;
    TermProblem problem;
  };
  const Case cases[] = {
      {u"colour:red", TermProblem::kUnknownKey},      {u"pid:", TermProblem::kEmptyValue},
      {u"pid:12a", TermProblem::kNotANumber},         {u"pid:-1", TermProblem::kNotANumber},
      {u"pid:99999999999", TermProblem::kOutOfRange}, {u"port:65536", TermProblem::kOutOfRange},
      {u"rport:http", TermProblem::kNotANumber},      {u"-host:", TermProblem::kEmptyValue},
      {u"-", TermProblem::kNothingExcluded},
  };
  for (const Case& c : cases) {
    ConnectionFilter filter;
    filter.setText(c.text);
    ASSERT_EQ(filter.terms().size(), 1U);
    EXPECT_EQ(filter.terms()[0].problem, c.problem) << std::string(c.text.begin(), c.text.end());
    EXPECT_TRUE(filter.isSet());
    EXPECT_FALSE(filter.filters());
    EXPECT_TRUE(filter.hasMalformed());
    EXPECT_EQ(shown(c.text), "111111");
  }
  // Beside well-formed terms a malformed one changes nothing, and stays where it was typed.
  EXPECT_EQ(shown(u"sshd port:99999 -listening"), shown(u"sshd -listening"));
  ConnectionFilter filter;
  filter.setText(u"sshd  port:99999 -x");
  ASSERT_EQ(filter.terms().size(), 3U);
  EXPECT_TRUE(filter.filters());
  EXPECT_EQ(filter.terms()[1].start, 6U);
  EXPECT_EQ(filter.terms()[1].length, 10U);
  EXPECT_FALSE(filter.terms()[2].malformed());
  EXPECT_TRUE(filter.terms()[2].excluded);
}

TEST(ConnectionFilter, IgnoresCaseBeyondAsciiWhateverTheLocale) {
  ConnectionFilter filter;
  filter.setText(u"СЕРВЕР ΔΊΚΤΥΟ name:ŁÓDŹ");
  EXPECT_TRUE(filter.matches({u"", u"", u"", u"łódź", u"/srv/сервер", u"δίκτυο", u"", u"", u""}));
  EXPECT_FALSE(filter.matches({u"", u"", u"", u"lodz", u"/srv/сервер", u"δίκτυο", u"", u"", u""}));
}

TEST(ConnectionFilter, PortsOfSixtyFiveThousandAndPidZeroAreNumbersToo) {
  EXPECT_EQ(shown(u"port:65535"), "000000");
  ConnectionFilter filter;
  filter.setText(u"port:65535 pid:0");
  EXPECT_FALSE(filter.hasMalformed());
  EXPECT_TRUE(filter.matches({u"TCP", u"", u"0", u"", u"", u"", u"65535", u"", u""}));
}

}  // namespace
}  // namespace s::system::network::filter
