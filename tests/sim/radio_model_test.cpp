// Command -> answer exchanges of the simulated radio, one table per group. Each scenario
// starts from a fresh radio and checks every exchange in order.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ftdx10sim/radio_model.h"

namespace veltro::sim {
namespace {

struct Exchange {
  std::string_view send;
  std::string_view expect;
};

struct Scenario {
  std::string_view name;
  std::vector<Exchange> steps;
  Model model = Model::kFtdx10;
};

void RunScenarios(const std::vector<Scenario>& scenarios) {
  for (const Scenario& s : scenarios) {
    RadioModel radio(s.model);
    for (std::size_t i = 0; i < s.steps.size(); ++i) {
      EXPECT_EQ(radio.Receive(s.steps[i].send), s.steps[i].expect)
          << s.name << ", step " << i << ": " << s.steps[i].send;
    }
  }
}

TEST(RadioModelTest, FrequencyModeVfoAndSplit) {
  RunScenarios({
      {"fresh VFOs", {{"FA;", "FA014250000;"}, {"FB;", "FB007100000;"}, {"MD0;", "MD02;"}}},
      {"frequency set and range",
       {{"FA007074000;", ""},
        {"FA;", "FA007074000;"},
        {"FB000030000;", ""},
        {"FA075000000;", ""},
        {"FA000029999;", "?;"},
        {"FA075000001;", "?;"},
        {"FA14250000;", "?;"},
        {"FB1296100000;", "?;"},
        {"FA;", "FA075000000;"},
        {"FB;", "FB000030000;"}}},
      {"FT-891 tops out at 54 MHz",
       {{"FA054000000;", ""}, {"FA054000001;", "?;"}, {"MD0E;", "?;"}, {"MD0D;", ""}},
       Model::kFt891},
      {"mode and data variants",
       {{"MD0C;", ""},
        {"MD0;", "MD0C;"},
        {"MD0F;", ""},
        {"MD0G;", "?;"},
        {"MD12;", "?;"},
        {"MD02X;", "?;"},
        {"MD0;", "MD0F;"}}},
      {"receive VFO selects what MD0 means",
       {{"VS1;", ""},
        {"VS;", "VS1;"},
        {"MD0;", "MD01;"},
        {"MD03;", ""},
        {"VS0;", ""},
        {"MD0;", "MD02;"},
        {"OI;", "OI001007100000+000000300000;"},
        {"VS2;", "?;"}}},
      {"split follows ST and FT and survives VS",
       {{"ST;", "ST0;"},
        {"FT;", "FT0;"},
        {"ST1;", ""},
        {"FT;", "FT1;"},
        {"VS1;", ""},
        {"FT;", "FT0;"},
        {"ST;", "ST1;"},
        {"ST0;", ""},
        {"FT;", "FT1;"},
        {"FT0;", ""},
        {"ST;", "ST1;"},
        {"ST2;", "?;"}}},
      {"copy and swap VFOs",
       {{"AB;", ""},
        {"FB;", "FB014250000;"},
        {"FB007000000;", ""},
        {"MD01;", ""},
        {"SV;", ""},
        {"FA;", "FA007000000;"},
        {"MD0;", "MD02;"},
        {"FB;", "FB014250000;"},
        {"BA;", ""},
        {"FA;", "FA014250000;"}}},
      {"band select keeps a stack per band",
       {{"BS03;", ""},
        {"FA;", "FA007000000;"},
        {"MD0;", "MD01;"},
        {"BS05;", ""},
        {"FA;", "FA014250000;"},
        {"BS03;", ""},
        {"FA;", "FA007000000;"},
        {"BS12;", "?;"},
        {"BS;", "?;"}}},
  });
}

TEST(RadioModelTest, StatusLayoutsAndClarifier) {
  RunScenarios({
      {"IF and OI in VFO mode",
       {{"IF;", "IF001014250000+000000200000;"}, {"OI;", "OI001007100000+000000100000;"}}},
      {"clarifier in IF, limited to 9999 Hz",
       {{"RT1;", ""},
        {"RU0150;", ""},
        {"IF;", "IF001014250000+015010200000;"},
        {"RD0300;", ""},
        {"IF;", "IF001014250000-015010200000;"},
        {"OI;", "OI001007100000+000000100000;"},
        {"RU9999;", ""},
        {"RU9999;", ""},
        {"IF;", "IF001014250000+999910200000;"},
        {"RC;", ""},
        {"RT0;", ""},
        {"IF;", "IF001014250000+000000200000;"},
        {"RU15;", "?;"},
        {"RU;", "?;"}}},
      {"tone mode and shift per VFO",
       {{"MD04;", ""},
        {"CT02;", ""},
        {"OS02;", ""},
        {"OS11;", ""},
        {"IF;", "IF001014250000+000000402002;"},
        {"OI;", "OI001007100000+000000100001;"}}},
  });
}

TEST(RadioModelTest, MemoryChannels) {
  RunScenarios({
      {"write, read back, recall and leave",
       {{"MW005029620000+000000402002;", ""},
        {"MW005;", "MW005029620000+000000402002;"},
        {"MC005;", ""},
        {"MC;", "MC005;"},
        {"IF;", "IF005029620000+000000412002;"},
        {"MD0;", "MD04;"},
        {"FA;", "FA014250000;"},
        {"VM;", ""},
        {"IF;", "IF005014250000+000000200000;"}}},
      {"memory tune changes the working copy only",
       {{"MW012007074000+000000200000;", ""},
        {"MC012;", ""},
        {"MD01;", ""},
        {"IF;", "IF012007074000+000000110000;"},
        {"MW012;", "MW012007074000+000000200000;"},
        {"MW012007100000+000000100000;", ""},
        {"IF;", "IF012007100000+000000110000;"}}},
      {"band select leaves memory mode",
       {{"MW001014074000+000000200000;", ""},
        {"MC001;", ""},
        {"BS05;", ""},
        {"IF;", "IF001014250000+000000200000;"}}},
      {"refused memory commands",
       {{"MC006;", "?;"},
        {"MC000;", "?;"},
        {"MC100;", "?;"},
        {"MC5;", "?;"},
        {"MW006;", "?;"},
        {"MW000029620000+000000402002;", "?;"},
        {"MW005029620000+000000405002;", "?;"},
        {"MW005029620000+000000G02002;", "?;"},
        {"MW005029620000*000000402002;", "?;"},
        {"MW005029620000+000000402003;", "?;"},
        {"MW005095500000+000000402002;", "?;"},
        {"MW00514550000+000000402002;", "?;"},
        {"IF;", "IF001014250000+000000200000;"}}},
  });
}

// One row per plain setting: the read form, the answer of a fresh radio, an accepted set, a set
// out of range and a malformed set. Both refused sets must leave the accepted value in place.
struct SettingRow {
  std::string_view query;
  std::string_view fresh;
  std::string_view good;
  std::string_view out_of_range;  // empty: every value the field can hold is accepted
  std::string_view malformed;
};

void CheckSettings(Model model, const std::vector<SettingRow>& rows) {
  for (const SettingRow& r : rows) {
    RadioModel radio(model);
    const std::string query = std::string(r.query) + ";";
    EXPECT_EQ(radio.Receive(query), std::string(r.fresh) + ";") << r.query;
    EXPECT_EQ(radio.Receive(std::string(r.good) + ";"), "") << r.good;
    EXPECT_EQ(radio.Receive(query), std::string(r.good) + ";") << r.good;
    if (!r.out_of_range.empty()) {
      EXPECT_EQ(radio.Receive(std::string(r.out_of_range) + ";"), "?;") << r.out_of_range;
    }
    EXPECT_EQ(radio.Receive(std::string(r.malformed) + ";"), "?;") << r.malformed;
    EXPECT_EQ(radio.Receive(query), std::string(r.good) + ";") << r.query << " after refusals";
  }
}

TEST(RadioModelTest, LevelsFunctionsAndMenusFtdx10) {
  CheckSettings(Model::kFtdx10,
                {
                    {"AG0", "AG0128", "AG0255", "AG0256", "AG055"},
                    {"RG0", "RG0255", "RG0000", "RG0256", "RG00"},
                    {"SQ0", "SQ0000", "SQ0100", "SQ0256", "SQ0-01"},
                    {"PC", "PC100", "PC005", "PC004", "PC50"},
                    {"NR0", "NR00", "NR01", "NR02", "NR001"},
                    {"RL0", "RL008", "RL015", "RL016", "RL05"},
                    {"BP00", "BP00000", "BP00001", "BP00002", "BP0001"},
                    {"BP01", "BP01100", "BP01320", "BP01321", "BP0110"},
                    {"NB0", "NB00", "NB01", "NB02", "NB001"},
                    {"NL0", "NL0005", "NL0010", "NL0011", "NL05"},
                    {"IS0", "IS00+0000", "IS00-0150", "IS00+1201", "IS0+0150"},
                    {"SH0", "SH0013", "SH0023", "SH0024", "SH013"},
                    {"CO00", "CO000000", "CO000001", "CO000002", "CO0001"},
                    {"CO01", "CO011000", "CO013200", "CO010009", "CO0139"},
                    {"CO03", "CO030025", "CO030050", "CO030051", "CO0325"},
                    {"RF0", "RF01", "RF0A", "RF00", "RF0a"},
                    {"GT0", "GT03", "GT04", "GT05", "GT"},
                    {"RA0", "RA00", "RA03", "RA04", "RA0x"},
                    {"PA0", "PA00", "PA02", "PA03", "PA002"},
                    {"ML0", "ML0000", "ML0001", "ML0002", "ML01"},
                    {"ML1", "ML1050", "ML1100", "ML1101", "ML150"},
                    {"MG", "MG050", "MG100", "MG101", "MG1000"},
                    {"MS", "MS0", "MS5", "MS6", "MS05"},
                    {"SD", "SD06", "SD30", "SD31", "SD0300"},
                    {"KS", "KS020", "KS060", "KS003", "KS32"},
                    {"KP", "KP30", "KP75", "KP76", "KP5"},
                    {"FN", "FN0", "FN1", "FN2", "FN01"},
                    {"LK", "LK0", "LK3", "LK4", "LK+1"},
                    {"PB0", "PB00", "PB05", "PB06", "PB3"},
                    {"CT0", "CT00", "CT03", "CT04", "CT3"},
                    {"OS1", "OS10", "OS12", "OS13", "OS1-"},
                    {"CN00", "CN00008", "CN00049", "CN00050", "CN0008"},
                    {"CN11", "CN11000", "CN11103", "CN11104", "CN1110"},
                    {"EX010317", "EX0103170100", "EX0103170600", "", "EX01031710000"},
                    {"EX010318", "EX0103181000", "EX0103180500", "", "EX010318500"},
                    {"EX020113", "EX0201130", "EX0201131", "EX0201132", "EX02011301"},
                    {"EX030202", "EX030202+00", "EX030202-15", "EX030202+21", "EX03020215"},
                    {"EX030203", "EX03020310", "EX03020301", "EX03020312", "EX0302031"},
                });
}

TEST(RadioModelTest, LevelsFunctionsAndMenusFt891) {
  CheckSettings(Model::kFt891, {
                                   {"RG0", "RG0030", "RG0015", "RG0031", "RG015"},
                                   {"IS0", "IS01+0000", "IS01-0150", "IS01-1201", "IS00-0150"},
                                   {"SH0", "SH0114", "SH0121", "SH0122", "SH0013"},
                                   {"RA0", "RA00", "RA01", "RA02", "RA"},
                                   {"MS", "MS0", "MS4", "MS5", "MS00"},
                                   {"SD", "SD0200", "SD0300", "SD3001", "SD05"},
                                   {"FS", "FS0", "FS3", "FS4", "FS00"},
                                   {"EX0904", "EX09040100", "EX09040600", "", "EX0904600"},
                                   {"EX0708", "EX07080", "EX07081", "EX07082", "EX070800"},
                                   {"EX1202", "EX1202+00", "EX1202-15", "EX1202-41", "EX1202+5"},
                                   {"EX1203", "EX120310", "EX120311", "EX120300", "EX12031"},
                               });
}

TEST(RadioModelTest, RefusedCommands) {
  RunScenarios({
      {"unknown, malformed or read-only",
       {{"XX;", "?;"},
        {"fa;", "?;"},
        {"F;", "?;"},
        {"ID1;", "?;"},
        {"SM0100;", "?;"},
        {"IF1;", "?;"},
        {"OI001014250000+000000200000;", "?;"},
        {"VM1;", "?;"},
        {"AB1;", "?;"},
        {"RM9;", "?;"},
        {"KY5;", "?;"},
        {"KM6ABC;", "?;"},
        {"KM1abc;", "?;"},
        {"DA01101010;", "?;"},
        {"DA00212121;", "?;"},
        {"FS;", "?;"},
        {"EX0708;", "?;"},
        {"EX010319;", "?;"}}},
      {"FT-891 lacks the FTDX10's own commands",
       {{"RF0;", "?;"}, {"FN;", "?;"}, {"EX020113;", "?;"}, {"IS00+0000;", "?;"}},
       Model::kFt891},
  });
}

TEST(RadioModelTest, TransmitMetersIdentityAndPanel) {
  RunScenarios({
      {"identity FTDX10", {{"ID;", "ID0761;"}}},
      {"identity FT-891", {{"ID;", "ID0650;"}, {"DA;", "DA08080808;"}}, Model::kFt891},
      {"transmit and output meter",
       {{"TX;", "TX0;"},
        {"RM5;", "RM5000;"},
        {"TX1;", ""},
        {"TX;", "TX1;"},
        {"RM5;", "RM5255;"},
        {"PC050;", ""},
        {"RM5;", "RM5127;"},
        {"RM8;", "RM8190;"},
        {"TX2;", "?;"}}},
      {"tuner cycle leaves the tuner on", {{"AC002;", ""}, {"AC;", "AC001;"}}},
      {"dimmer", {{"DA;", "DA00101010;"}, {"DA00070707;", ""}, {"DA;", "DA00070707;"}}},
      {"power off hears only PS1",
       {{"PS;", "PS1;"},
        {"PS0;", ""},
        {"FA;", ""},
        {"XX;", ""},
        {"PS1;", ""},
        {"FA;", "FA014250000;"}}},
      {"keyer messages",
       {{"KM2CQ TEST;", ""},
        {"KM2;", "KM2CQ TEST;"},
        {"KY7;", ""},
        {"KY TEST DE;", ""},
        {"KY;", "KY0;"}}},
      {"framing tolerates line ends and partial input",
       {{"\r\nID;\r\n", "ID0761;"}, {"FA;F", "FA014250000;"}, {"B;;", "FB007100000;"}}},
  });

  RadioModel radio;
  radio.Receive("KM1CQ CQ;KY6;KY DE TEST;");
  EXPECT_EQ(radio.KeyerSent(), (std::vector<std::string>{"CQ CQ", "DE TEST"}));
  EXPECT_EQ(radio.Receive(std::string(200, 'A') + ";ID;"), "?;ID0761;");
}

TEST(RadioModelTest, AutoInformationReportsWhatChanged) {
  RunScenarios({
      {"AI0 sends nothing unasked", {{"FA007000000;", ""}, {"AG0100;", ""}}},
      {"AI1 reports each change",
       {{"AI1;", ""},
        {"AI;", "AI1;"},
        {"FA007000000;", "FA007000000;IF001007000000+000000200000;"},
        {"FB014000000;", "FB014000000;OI001014000000+000000100000;"},
        {"AG0100;", "AG0100;"},
        {"AG0100;", ""},
        {"ST1;", "FT1;ST1;"},
        {"AG0300;", "?;"},
        {"FA;", "FA007000000;"},
        {"EX0201131;", "EX0201131;"},
        {"MW003007000000+000000200000;", "MW003007000000+000000200000;"},
        {"AI0;", ""},
        {"AG0050;", ""}}},
      {"changing the receive VFO reports the whole new side",
       {{"AI1;", ""},
        {"VS1;", "VS1;FT1;MD01;IF001007100000+000000100000;OI001014250000+000000200000;"}}},
  });

  RadioModel radio;
  EXPECT_EQ(radio.TurnKnob(10), "");
  radio.Receive("AI1;");
  EXPECT_EQ(radio.TurnKnob(10), "FA014250020;IF001014250020+000000200000;");
  EXPECT_EQ(radio.SetSMeter(40), "SM0040;BY10;");
  EXPECT_EQ(radio.Operate("PC050"), "PC050;");
  EXPECT_EQ(radio.Operate("PC999"), std::nullopt);
}

}  // namespace
}  // namespace veltro::sim
