#include "media/builtin_cd_makers.h"

namespace kv {

namespace {

constexpr uint32_t Msf(uint32_t minutes, uint32_t seconds, uint32_t frames) {
  return minutes * 10000 + seconds * 100 + frames;
}

}  // namespace

// Keys ascend strictly; a few ranges are a single frame wide.
constexpr BuiltinCdMakerEntry BuiltinCdMakers[kBuiltinCdTableSize] = {
    {Msf(96, 43, 10), "CMC Magnetics Corporation"},
    {Msf(96, 43, 20), "Prodisc Technology Inc."},
    {Msf(96, 43, 30), "RiTEK Corporation"},
    {Msf(97, 0, 0), "Moser Baer India Limited"},
    {Msf(97, 0, 10), "TDK Corporation"},
    {Msf(97, 3, 10), "Sony Corporation"},
    {Msf(97, 10, 0), "RiTEK Corporation"},
    {Msf(97, 15, 0), "TDK Corporation"},
    {Msf(97, 15, 10), "RiTEK Corporation"},
    {Msf(97, 15, 20), "Mitsubishi Chemical Corporation"},
    {Msf(97, 15, 30), "Nan Ya Plastics Corporation"},
    {Msf(97, 16, 0), "RiTEK,PNY,MB India,Gigastorage"},
    {Msf(97, 16, 20), "SHENZHEN SG&SAST DIGITAL OPTICAL DISCS CO.,LTD."},
    {Msf(97, 16, 30), "Grand Advance Technology Ltd."},
    {Msf(97, 17, 0), "Moser Baer India Limited"},
    {Msf(97, 17, 10), "Sky Media Manufacturing SA"},
    {Msf(97, 18, 0), "RiTEK,PNY,MB India,Gigastorage"},
    {Msf(97, 18, 10), "Wealth Fair Investment Limited"},
    {Msf(97, 18, 60), "Taroko International Co., Ltd."},
    {Msf(97, 21, 0), "Intersonic SA"},
    {Msf(97, 21, 10), "CONDOR CD"},
    {Msf(97, 21, 20), "E-Top Navigator Techonolgy Inc."},
    {Msf(97, 21, 30), "Bestdisc Technology Corporation"},
    {Msf(97, 21, 40), "Optical Disc Manufacturing Equipment"},
    {Msf(97, 21, 50), "Sound Sound Multi-Media Development Limited"},
    {Msf(97, 22, 0), "Woongjin Media corp."},
    {Msf(97, 22, 10), "Seantram Technology Inc."},
    {Msf(97, 22, 20), "Advanced Digital Media S.r.l."},
    {Msf(97, 22, 30), "Eximpo"},
    {Msf(97, 22, 40), "CIS Technology Inc."},
    {Msf(97, 22, 50), "Hong Kong Digital Technology Co., Ltd."},
    {Msf(97, 22, 60), "Daxon Inc."},
    {Msf(97, 23, 0), "Matsushita Electric Industrial Co., Ltd."},
    {Msf(97, 23, 10), "Doremi Media Co.,Ltd."},
    {Msf(97, 23, 20), "Nacar Media srl"},
    {Msf(97, 23, 30), "Audio Distributors Co., Ltd."},
    {Msf(97, 23, 40), "Victor Company of Japan, Limited"},
    {Msf(97, 23, 50), "OPTROM.INC."},
    {Msf(97, 23, 60), "Customer Pressing Oosterhout"},
    {Msf(97, 24, 0), "Taiyo Yuden Company Limited"},
    {Msf(97, 24, 10), "SONY Corporation"},
    {Msf(97, 24, 20), "Computer Support Italcard s.r.l."},
    {Msf(97, 24, 30), "Unitech Japan Inc."},
    {Msf(97, 24, 39), "Ramedia"},
    {Msf(97, 24, 40), "kdg mediatech AG"},
    {Msf(97, 24, 50), "Guann Yinn Co.,Ltd."},
    {Msf(97, 24, 60), "Harmonic Hall Optical Disc Ltd."},
    {Msf(97, 25, 0), "TDK Corporation"},
    {Msf(97, 25, 1), "MPO"},
    {Msf(97, 25, 20), "Hitachi Maxell, Ltd."},
    {Msf(97, 25, 30), "Infodisc Technology Co., Ltd."},
    {Msf(97, 25, 40), "Vivastar AG."},
    {Msf(97, 25, 50), "AMS Technology Inc."},
    {Msf(97, 25, 60), "Xcitek Inc."},
    {Msf(97, 26, 0), "Fornet International Pte. Ltd."},
    {Msf(97, 26, 10), "Postech Corporation"},
    {Msf(97, 26, 20), "SKC Co., Ltd."},
    {Msf(97, 26, 30), "Optical Disc Corporation"},
    {Msf(97, 26, 40), "FUJI Photo Film Co., Ltd."},
    {Msf(97, 26, 50), "Lead Data Inc."},
    {Msf(97, 26, 60), "CMC Magnetics Corporation"},
    {Msf(97, 27, 0), "Ricoh Company Limited"},
    {Msf(97, 27, 1), "Digital Storage Technology Co., Ltd."},
    {Msf(97, 27, 10), "Plasmon Data Systems Ltd."},
    {Msf(97, 27, 20), "Princo Corporation"},
    {Msf(97, 27, 30), "Pioneer Video Corporation"},
    {Msf(97, 27, 40), "Eastman Kodak Company"},
    {Msf(97, 27, 50), "Mitsui Chemicals, Inc."},
    {Msf(97, 27, 60), "Ricoh Company Limited"},
    {Msf(97, 28, 0), "Opti.Me.S. S.p.A."},
    {Msf(97, 28, 10), "Gigastorage Corporation"},
    {Msf(97, 28, 20), "Multi Media Masters & Machinary SA"},
    {Msf(97, 28, 30), "Auvistar Industry Co.,Ltd."},
    {Msf(97, 28, 40), "King Pro Mediatek Inc."},
    {Msf(97, 28, 50), "DELPHI TECHNOLOGY INC."},
    {Msf(97, 28, 60), "Friendly CD-Tek Co."},
    {Msf(97, 29, 0), "Taeil Media Co.,Ltd."},
    {Msf(97, 29, 10), "Vanguard Disc Inc."},
    {Msf(97, 29, 20), "Unidisc Technology Co., Ltd."},
    {Msf(97, 29, 30), "Hile Optical Disc Technology Corp."},
    {Msf(97, 29, 40), "Viva Magnetics Limited"},
    {Msf(97, 29, 50), "General Magnetics Ld"},
    {Msf(97, 30, 10), "CDA Datentrager Albrechts GmbH"},
    {Msf(97, 31, 0), "RiTEK Corporation"},
    {Msf(97, 31, 30), "Grand Advance Technology Ltd."},
    {Msf(97, 32, 0), "TDK Corporation"},
    {Msf(97, 32, 10), "Prodisc Technology Inc."},
    {Msf(97, 34, 20), "Mitsubishi Chemicals Corporation"},
    {Msf(97, 42, 20), "Advanced Digital Media S.r.l."},
    {Msf(97, 45, 0), "Fornet International Pte. Ltd."},
    {Msf(97, 45, 10), "Unitech Japan Inc."},
    {Msf(97, 45, 20), "Daxon Technology, Inc."},
    {Msf(97, 45, 40), "CIS Technology Inc."},
    {Msf(97, 45, 50), "Guann Yinn Co.,Ltd."},
    {Msf(97, 45, 60), "Xcitek Inc."},
    {Msf(97, 46, 0), "Taiyo Yuden Company Limited"},
    {Msf(97, 46, 10), "Hong Kong Digital Technology Co., Ltd."},
    {Msf(97, 46, 20), "Multi Media Masters & Machinary SA"},
    {Msf(97, 46, 30), "Computer Support Italcard s.r.l."},
    {Msf(97, 46, 40), "FUJI Photo Film Co., Ltd."},
    {Msf(97, 46, 50), "Auvistar Industry Co.,Ltd."},
    {Msf(97, 46, 60), "CMC Magnetics Corporation"},
    {Msf(97, 47, 10), "Hitachi Maxell, Ltd."},
    {Msf(97, 47, 20), "Princo Corporation"},
    {Msf(97, 47, 40), "Postech Corporation"},
    {Msf(97, 47, 50), "RiTEK Corporation"},
    {Msf(97, 47, 60), "Prodisc Technology Inc."},
    {Msf(97, 48, 0), "Ricoh Company Limited"},
    {Msf(97, 48, 10), "Eastman Kodak Company"},
    {Msf(97, 48, 20), "Plasmon Data Systems Ltd."},
    {Msf(97, 48, 30), "Pioneer Video Corporation"},
    {Msf(97, 48, 40), "Digital Storage Technology Co., Ltd."},
    {Msf(97, 48, 50), "Mitsubishi Chemicals Corporation"},
    {Msf(97, 48, 60), "Lead Data Inc."},
    {Msf(97, 49, 0), "TDK Corporation"},
    {Msf(97, 49, 10), "Gigastorage Corporation"},
    {Msf(97, 49, 20), "King Pro Mediatek Inc."},
    {Msf(97, 49, 30), "Opti.Me.S. S.p.A."},
    {Msf(97, 49, 40), "Victor Company of Japan, Limited"},
    {Msf(97, 49, 50), "Sky Media Manufacturing SA"},
    {Msf(97, 49, 60), "Matsushita Electric Industrial Co., Ltd."},
    {Msf(97, 50, 0), "CONDOR CD"},
    {Msf(97, 50, 10), "Vanguard Disc Inc."},
    {Msf(97, 50, 20), "Mitsubishi Chemicals Corporation"},
    {Msf(97, 50, 30), "CDA Datentrager Albrechts GmbH"},
    {Msf(97, 51, 10), "Grand Advance Technology Ltd."},
    {Msf(97, 51, 20), "Infodisc Technology Co., Ltd."},
    {Msf(97, 51, 50), "Hile Optical Disc Technology Corp."},
    {kBuiltinCdClosingKey, "Unknown Manufacturer"},
};

}  // namespace kv

namespace kv {
namespace {

// Each range ends where the next begins, so the keys must ascend strictly.
constexpr bool KeysAscend() {
  for (std::size_t i = 1; i < kBuiltinCdTableSize; ++i) {
    if (BuiltinCdMakers[i - 1].key >= BuiltinCdMakers[i].key) {
      return false;
    }
  }
  return true;
}
static_assert(KeysAscend());

}  // namespace
}  // namespace kv
