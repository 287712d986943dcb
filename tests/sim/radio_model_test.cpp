// The simulated radio answers as the radio does: the layouts the library parses, its ranges and
// its "?;" for what it refuses, auto-information, and the second profile. Each scenario starts
// from a fresh radio and checks every exchange in order. The round trips in the unit tests rely
// on these refusals to catch a library text out of range.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ftdx10sim/radio_model.h"

namespace veltro::sim {
namespace {

// A transcript: exchanges separated by blanks, each "sent>answer", or just "sent" when the radio
// stays silent.
struct Scenario {
  std::string_view name;
  std::string_view transcript;
  Model model = Model::kFtdx10;
};

void RunScenarios(const std::vector<Scenario>& scenarios) {
  for (const Scenario& s : scenarios) {
    RadioModel radio(s.model);
    std::string_view rest = s.transcript;
    while (!rest.empty()) {
      std::string_view step = rest.substr(0, rest.find(' '));
      rest.remove_prefix(std::min(rest.size(), step.size() + 1));
      std::size_t gt = step.find('>');
      std::string_view answer = gt == step.npos ? "" : step.substr(gt + 1);
      EXPECT_EQ(radio.Receive(step.substr(0, gt)), answer) << s.name << ": " << step;
    }
  }
}

TEST(RadioModelTest, AnswersAsTheRadioDoes) {
  RunScenarios({
      {"frequency range and width",
       "FA007074000; FA;>FA007074000; FB000030000; FA000029999;>?; FA075000001;>?; FA14250000;>?; "
       "FB;>FB000030000;"},
      {"mode, data variants and the receive VFO",
       "MD0;>MD02; MD0C; MD0G;>?; MD12;>?; VS1; MD0;>MD01; VS0; MD0;>MD0C; VS2;>?;"},
      {"split follows ST and FT and survives VS",
       "ST;>ST0; ST1; FT;>FT1; VS1; FT;>FT0; ST;>ST1; ST2;>?;"},
      {"IF and OI with clarifier, tone and shift",
       "IF;>IF001014250000+000000200000; OI;>OI001007100000+000000100000; RT1; RD0150; MD04; CT02; "
       "OS02; IF;>IF001014250000-015010402002; RU9999; RU9999; IF;>IF001014250000+999910402002; "
       "RU15;>?;"},
      {"band select keeps a stack per band",
       "BS03; FA;>FA007000000; BS05; FA;>FA014250000; BS12;>?;"},
      {"memory write, recall, tune and leave",
       "MW005029620000+000000402002; MW005;>MW005029620000+000000402002; MC005; MC;>MC005; "
       "IF;>IF005029620000+000000412002; MD01; MW005;>MW005029620000+000000402002; VM; "
       "IF;>IF005014250000+000000200000; MC006;>?; MC100;>?; MW005029620000+000000405002;>?; "
       "MW005095500000+000000402002;>?;"},
      {"refused: unknown, malformed, read-only",
       "XX;>?; fa;>?; ID1;>?; SM0100;>?; OI001014250000+000000200000;>?; EX0708;>?;"},
      {"FT-891 refuses the FTDX10's own commands", "RF0;>?; EX020113;>?; IS00+0000;>?;",
       Model::kFt891},
      {"framing tolerates line ends and partial input",
       "\r\nID;\r\n>ID0761; FA;F>FA014250000; B;;>FB007100000;"},
      {"transmit and the power meter", "TX1; TX;>TX1; PC050; RM5;>RM5127; TX2;>?;"},
      {"auto-information reports each change once",
       "AG0100; AI1; FA007000000;>FA007000000;IF001007000000+000000200000; AG0110;>AG0110; AG0110; "
       "ST1;>FT1;ST1; AG0300;>?; AI0; AG0050;"},
      {"a new receive VFO reports its whole side",
       "AI1; VS1;>VS1;FT1;MD01;IF001007100000+000000100000;OI001014250000+000000200000;"},
      // Each setting: a fresh radio's value, an accepted set, then a set out of range (where the
      // field has one) and a malformed one, both refused and keeping the accepted value.
      {"settings keep their ranges and layouts",
       "AG0;>AG0128; AG0255; AG0256;>?; AG055;>?; AG0;>AG0255; "
       "IS0;>IS00+0000; IS00-0150; IS00+1201;>?; IS0+0150;>?; IS0;>IS00-0150; "
       "CO01;>CO011000; CO013200; CO010009;>?; CO0139;>?; CO01;>CO013200; "
       "RF0;>RF01; RF0A; RF00;>?; RF0a;>?; RF0;>RF0A; "
       "EX010317;>EX0103170100; EX0103170600; EX01031710000;>?; EX010317;>EX0103170600; "
       "EX030202;>EX030202+00; EX030202-15; EX030202+21;>?; EX03020215;>?; EX030202;>EX030202-15;"},
      {"FT-891 settings keep their ranges and layouts",
       "RG0;>RG0030; RG0015; RG0031;>?; RG015;>?; RG0;>RG0015; "
       "IS0;>IS01+0000; IS01-0150; IS01-1201;>?; IS00-0150;>?; IS0;>IS01-0150; "
       "EX1202;>EX1202+00; EX1202-15; EX1202-41;>?; EX1202+5;>?; EX1202;>EX1202-15;",
       Model::kFt891},
  });
  RadioModel radio;
  EXPECT_EQ(radio.Receive(std::string(200, 'A') + ";ID;"), "?;ID0761;");
  radio.Receive("AI1;");
  EXPECT_EQ(radio.SetSMeter(40), "SM0040;BY10;");
}

}  // namespace
}  // namespace veltro::sim
