// Small reference documents in the shipped formats, and helpers that build
// snapshot documents for the model tests.
#pragma once

#include <string>

#include "json/json.h"
#include "model/reference.h"

namespace tarvelo::testing {

// Vehicles: 1 (T-34, USSR medium, tier 5), 2 (Pz.Kpfw. B2, German heavy,
// tier 4), 3 (Type 61, Japanese medium, tier 8), 7 (Leichttraktor, German light,
// tier 1), 63537 (121B, Chinese premium medium, tier 10).
// Expected values for 1 and 63537 only; an Ivanerr weight for 63537 only.
inline constexpr const char* kTanksInfo = R"({"status":"ok","meta":{"count":5},"data":{
 "1":{"tank_id":1,"nation":"ussr","tag":"R04_T-34","is_premium":false,"type":"mediumTank","tier":5,"name":"T-34","images":"http://img/1.png"},
 "2":{"tank_id":2,"nation":"germany","tag":"G_B2","is_premium":false,"type":"heavyTank","tier":4,"name":"Pz.Kpfw. B2","images":""},
 "3":{"tank_id":3,"nation":"japan","tag":"J_Type61","is_premium":false,"type":"mediumTank","tier":8,"name":"Type 61","images":""},
 "7":{"tank_id":7,"nation":"germany","tag":"G_LTraktor","is_premium":false,"type":"lightTank","tier":1,"name":"Leichttraktor","images":""},
 "63537":{"tank_id":63537,"nation":"china","tag":"Ch25_121_mod_1971B","is_premium":true,"type":"mediumTank","tier":10,"name":"121B","images":"http://img/63537.png"}}})";

inline constexpr const char* kTanksExpValues = R"({"data":{
 "1":{"expFrag":1.04,"expDamage":511.21,"expSpot":1.46,"expDef":1.06,"expWinRate":55.71},
 "63537":{"expFrag":1.2,"expDamage":2400,"expSpot":1.1,"expDef":0.7,"expWinRate":53}}})";

inline constexpr const char* kTanksIvanerr = R"({"kefs":{
 "63537":{"tankname_localized_short":"121B","weight":"0.850"}},
 "caps":{"maxfirepower":"2.5","maxskill":.53,"maxtotalrate":"1.2"}})";

inline constexpr const char* kAchievementsList = R"({"status":"ok","meta":{"count":6},"data":{
 "warrior":{"name_i18n":"Воин","order":10,"condition":"","section":"battle","description":"","type":"repeatable"},
 "tankExpert":{"name_i18n":"Эксперт","order":40,"condition":"","section":"special","description":"","type":"custom"},
 "tankExpert0":{"name_i18n":"Эксперт: СССР","order":41,"condition":"","section":"special","description":"","type":"custom"},
 "titleSniper":{"name_i18n":"Снайпер","order":5,"condition":"","section":"special","description":"","type":"series"},
 "sniper":{"name_i18n":"Бог войны","order":20,"condition":"","section":"epic","description":"","type":"repeatable"},
 "medalKay":{"name_i18n":"Медаль Кея","order":30,"condition":"","section":"class","description":"","type":"class"}}})";

inline constexpr const char* kCountryList = R"({"AD":["Andorra","Андорра","AND","020"],
 "RU":["Russia","Россия","RUS","643"],"ABKHAZIA":["Abkhazia","Абхазия",null,null]})";

inline ReferenceData SmallReference() {
  ReferenceTexts texts;
  texts.tanks_info = kTanksInfo;
  texts.exp_values = kTanksExpValues;
  texts.ivanerr = kTanksIvanerr;
  texts.country_list = kCountryList;
  texts.achievements = kAchievementsList;
  return ReferenceData::FromTexts(texts);
}

// A snapshot document: {"status":"ok","data":{"<id>":<account>,"vehicles":<vehicles>}}.
inline json::Value Snapshot(const std::string& account_id, const std::string& account_json,
                            const std::string& vehicles_json = "[]") {
  return json::parse(R"({"status":"ok","data":{")" + account_id + "\":" + account_json +
                     ",\"vehicles\":" + vehicles_json + "}}");
}

}  // namespace tarvelo::testing
