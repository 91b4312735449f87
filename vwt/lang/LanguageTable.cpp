#include "vwt/lang/LanguageTable.h"

#include <cstring>
#include <string>

namespace {
const LanguageTable::Row ROWS[] = {
    {0x0436, u"Afrikaans(South Africa)", 1252, u"AFK", "af_ZA"},
    {0x041c, u"Albanian(Albania)", 1250, u"SQI", "sq_AL"},
    {0x1401, u"Arabic(Algeria)", 1256, u"ARG", "ar_DZ"},
    {0x3c01, u"Arabic(Bahrain)", 1256, u"ARH", "ar_BH"},
    {0x0c01, u"Arabic(Egypt)", 1256, u"ARE", "ar_EG"},
    {0x0801, u"Arabic(Iraq)", 1256, u"ARI", "ar_IQ"},
    {0x2c01, u"Arabic(Jordan)", 1256, u"ARJ", "ar_JO"},
    {0x3401, u"Arabic(Kuwait)", 1256, u"ARK", "ar_KW"},
    {0x3001, u"Arabic(Lebanon)", 1256, u"ARB", "ar_LB"},
    {0x1001, u"Arabic(Libya)", 1256, u"ARL", "ar_LY"},
    {0x1801, u"Arabic(Morocco)", 1256, u"ARM", "ar_MA"},
    {0x2001, u"Arabic(Oman)", 1256, u"ARO", "ar_OM"},
    {0x4001, u"Arabic(Qatar)", 1256, u"ARQ", "ar_QA"},
    {0x0401, u"Arabic(Saudi Arabia)", 1256, u"ARA", "ar_SA"},
    {0x2801, u"Arabic(Syria)", 1256, u"ARS", "ar_SY"},
    {0x1c01, u"Arabic(Tunisia)", 1256, u"ART", "ar_TN"},
    {0x3801, u"Arabic(U.A.E.)", 1256, u"ARU", "ar_AE"},
    {0x2401, u"Arabic(Yemen)", 1256, u"ARY", "ar_YE"},
    {0x042b, u"Armenian(Armenia)", 0, u"HYE", "hy_AM"},
    {0x082c, u"Azeri (Cyrillic)(Azerbaijan)", 1251, u"AZE", "az_AZ@cyrillic"},
    {0x042c, u"Azeri (Latin)(Azerbaijan)", 1254, u"AZE", "az_AZ"},
    {0x042d, u"Basque(Spain)", 1252, u"EUQ", "eu_ES"},
    {0x0423, u"Belarusian(Belarus)", 1251, u"BEL", "be_BY"},
    {0x141a, u"Bosnian(Bosnia and Herzegovina)", 1250, u"BSB", "bs_BA"},
    {0x0402, u"Bulgarian(Bulgaria)", 1251, u"BGR", "bg_BG"},
    {0x0403, u"Catalan(Spain)", 1252, u"CAT", "ca_ES"},
    {0x0c04, u"Chinese(Hong Kong S.A.R.)", 950, u"ZHH", "zh_HK"},
    {0x1404, u"Chinese(Macao S.A.R.)", 950, u"ZHM", "zh_MO"},
    {0x0804, u"Chinese(People's Republic of China)", 936, u"CHS", "zh_CN"},
    {0x1004, u"Chinese(Singapore)", 936, u"ZHI", "zh_SG"},
    {0x0404, u"Chinese(Taiwan)", 950, u"CHT", "zh_TW"},
    {0x101a, u"Croatian(Bosnia and Herzegovina)", 1250, u"HRB", "hr_BA"},
    {0x041a, u"Croatian(Croatia)", 1250, u"HRV", "hr_HR"},
    {0x0405, u"Czech(Czech Republic)", 1250, u"CSY", "cs_CZ"},
    {0x0406, u"Danish(Denmark)", 1252, u"DAN", "da_DK"},
    {0x0813, u"Dutch(Belgium)", 1252, u"NLB", "nl_BE"},
    {0x0413, u"Dutch(Netherlands)", 1252, u"NLD", "nl_NL"},
    {0x0c09, u"English(Australia)", 1252, u"ENA", "en_AU"},
    {0x2809, u"English(Belize)", 1252, u"ENL", "en_BZ"},
    {0x1009, u"English(Canada)", 1252, u"ENC", "en_CA"},
    {0x2409, u"English(Caribbean)", 1252, u"ENB", "en_AG"},
    {0x1809, u"English(Ireland)", 1252, u"ENI", "en_IE"},
    {0x2009, u"English(Jamaica)", 1252, u"ENJ", "en_JM"},
    {0x1409, u"English(New Zealand)", 1252, u"ENZ", "en_NZ"},
    {0x3409, u"English(Republic of the Philippines)", 1252, u"ENP", "en_PH"},
    {0x1c09, u"English(South Africa)", 1252, u"ENS", "en_ZA"},
    {0x2c09, u"English(Trinidad and Tobago)", 1252, u"ENT", "en_TT"},
    {0x0809, u"English(United Kingdom)", 1252, u"ENG", "en_GB"},
    {0x0409, u"English(United States)", 1252, u"ENU", "en_US"},
    {0x3009, u"English(Zimbabwe)", 1252, u"ENW", "en_ZW"},
    {0x0425, u"Estonian(Estonia)", 1257, u"ETI", "et_EE"},
    {0x0438, u"Faroese(Faroe Islands)", 1252, u"FOS", "fo_FO"},
    {0x040b, u"Finnish(Finland)", 1252, u"FIN", "fi_FI"},
    {0x080c, u"French(Belgium)", 1252, u"FRB", "fr_BE"},
    {0x0c0c, u"French(Canada)", 1252, u"FRC", "fr_CA"},
    {0x040c, u"French(France)", 1252, u"FRA", "fr_FR"},
    {0x140c, u"French(Luxembourg)", 1252, u"FRL", "fr_LU"},
    {0x180c, u"French(Principality of Monaco)", 1252, u"FRM", "fr_MC"},
    {0x100c, u"French(Switzerland)", 1252, u"FRS", "fr_CH"},
    {0x0456, u"Galician(Spain)", 1252, u"GLC", "gl_ES"},
    {0x0437, u"Georgian(Georgia)", 0, u"KAT", "ka_GE"},
    {0x0c07, u"German(Austria)", 1252, u"DEA", "de_AT"},
    {0x0407, u"German(Germany)", 1252, u"DEU", "de_DE"},
    {0x1407, u"German(Liechtenstein)", 1252, u"DEC", "de_LI"},
    {0x1007, u"German(Luxembourg)", 1252, u"DEL", "de_LU"},
    {0x0807, u"German(Switzerland)", 1252, u"DES", "de_CH"},
    {0x0408, u"Greek(Greece)", 1253, u"ELL", "el_GR"},
    {0x0447, u"Gujarati(India)", 0, u"GUJ", "gu_IN"},
    {0x040d, u"Hebrew(Israel)", 1255, u"HEB", "he_IL"},
    {0x0439, u"Hindi(India)", 0, u"HIN", "hi_IN"},
    {0x040e, u"Hungarian(Hungary)", 1250, u"HUN", "hu_HU"},
    {0x040f, u"Icelandic(Iceland)", 1252, u"ISL", "is_IS"},
    {0x0421, u"Indonesian(Indonesia)", 1252, u"IND", "id_ID"},
    {0x083c, u"Irish(Ireland)", 1252, u"IRE", "ga_IE"},
    {0x0410, u"Italian(Italy)", 1252, u"ITA", "it_IT"},
    {0x0810, u"Italian(Switzerland)", 1252, u"ITS", "it_CH"},
    {0x0411, u"Japanese(Japan)", 932, u"JPN", "ja_JP"},
    {0x044b, u"Kannada(India)", 0, u"KDI", "kn_IN"},
    {0x043f, u"Kazakh(Kazakhstan)", 1251, u"KKZ", "kk_KZ"},
    {0x0412, u"Korean(Korea)", 949, u"KOR", "ko_KR"},
    {0x0440, u"Kyrgyz(Kyrgyzstan)", 1251, u"KYR", "ky_KG"},
    {0x0426, u"Latvian(Latvia)", 1257, u"LVI", "lv_LV"},
    {0x0427, u"Lithuanian(Lithuania)", 1257, u"LTH", "lt_LT"},
    {0x042f, u"Macedonian(Former Yugoslav Republic of Macedonia)", 1251, u"MKI", "mk_MK"},
    {0x083e, u"Malay(Brunei Darussalam)", 1252, u"MSB", "ms_BN"},
    {0x043e, u"Malay(Malaysia)", 1252, u"MSL", "ms_MY"},
    {0x044e, u"Marathi(India)", 0, u"MAR", "mr_IN"},
    {0x0450, u"Mongolian(Mongolia)", 1251, u"MON", "mn_MN"},
    {0x0414, u"Norwegian (Bokmal)(Norway)", 1252, u"NOR", "nb_NO"},
    {0x0814, u"Norwegian (Nynorsk)(Norway)", 1252, u"NON", "nn_NO"},
    {0x0429, u"Persian(Iran)", 1256, u"FAR", "fa_IR"},
    {0x0415, u"Polish(Poland)", 1250, u"PLK", "pl_PL"},
    {0x0416, u"Portuguese(Brazil)", 1252, u"PTB", "pt_BR"},
    {0x0816, u"Portuguese(Portugal)", 1252, u"PTG", "pt_PT"},
    {0x0446, u"Punjabi(India)", 0, u"PAN", "pa_IN"},
    {0x0418, u"Romanian(Romania)", 1250, u"ROM", "ro_RO"},
    {0x0419, u"Russian(Russia)", 1251, u"RUS", "ru_RU"},
    {0x0c1a, u"Serbian (Cyrillic)(Serbia)", 1251, u"SRB", "sr_RS"},
    {0x081a, u"Serbian (Latin)(Serbia)", 1250, u"SRL", "sr_RS@latin"},
    {0x041b, u"Slovak(Slovakia)", 1250, u"SKY", "sk_SK"},
    {0x0424, u"Slovenian(Slovenia)", 1250, u"SLV", "sl_SI"},
    {0x040a, u"Spanish - Traditional Sort(Spain)", 1252, u"ESP", ""},
    {0x2c0a, u"Spanish(Argentina)", 1252, u"ESS", "es_AR"},
    {0x400a, u"Spanish(Bolivia)", 1252, u"ESB", "es_BO"},
    {0x340a, u"Spanish(Chile)", 1252, u"ESL", "es_CL"},
    {0x240a, u"Spanish(Colombia)", 1252, u"ESO", "es_CO"},
    {0x140a, u"Spanish(Costa Rica)", 1252, u"ESC", "es_CR"},
    {0x1c0a, u"Spanish(Dominican Republic)", 1252, u"ESD", "es_DO"},
    {0x300a, u"Spanish(Ecuador)", 1252, u"ESF", "es_EC"},
    {0x440a, u"Spanish(El Salvador)", 1252, u"ESE", "es_SV"},
    {0x100a, u"Spanish(Guatemala)", 1252, u"ESG", "es_GT"},
    {0x480a, u"Spanish(Honduras)", 1252, u"ESH", "es_HN"},
    {0x080a, u"Spanish(Mexico)", 1252, u"ESM", "es_MX"},
    {0x4c0a, u"Spanish(Nicaragua)", 1252, u"ESI", "es_NI"},
    {0x180a, u"Spanish(Panama)", 1252, u"ESA", "es_PA"},
    {0x3c0a, u"Spanish(Paraguay)", 1252, u"ESZ", "es_PY"},
    {0x280a, u"Spanish(Peru)", 1252, u"ESR", "es_PE"},
    {0x500a, u"Spanish(Puerto Rico)", 1252, u"ESU", "es_PR"},
    {0x0c0a, u"Spanish(Spain)", 1252, u"ESN", "es_ES"},
    {0x380a, u"Spanish(Uruguay)", 1252, u"ESY", "es_UY"},
    {0x200a, u"Spanish(Venezuela)", 1252, u"ESV", "es_VE"},
    {0x0441, u"Swahili(Kenya)", 1252, u"SWK", "sw_KE"},
    {0x081d, u"Swedish(Finland)", 1252, u"SVF", "sv_FI"},
    {0x041d, u"Swedish(Sweden)", 1252, u"SVE", "sv_SE"},
    {0x0449, u"Tamil(India)", 0, u"TAM", "ta_IN"},
    {0x0444, u"Tatar(Russia)", 1251, u"TTT", "tt_RU"},
    {0x044a, u"Telugu(India)", 0, u"TEL", "te_IN"},
    {0x041e, u"Thai(Thailand)", 874, u"THA", "th_TH"},
    {0x041f, u"Turkish(Turkey)", 1254, u"TRK", "tr_TR"},
    {0x0422, u"Ukrainian(Ukraine)", 1251, u"UKR", "uk_UA"},
    {0x0420, u"Urdu(Islamic Republic of Pakistan)", 1256, u"URD", "ur_PK"},
    {0x0843, u"Uzbek (Cyrillic)(Uzbekistan)", 1251, u"UZB", "uz_UZ@cyrillic"},
    {0x0443, u"Uzbek (Latin)(Uzbekistan)", 1254, u"UZB", "uz_UZ"},
    {0x042a, u"Vietnamese(Vietnam)", 1258, u"VIT", "vi_VN"},
    {0x0452, u"Welsh(United Kingdom)", 1252, u"CYM", "cy_GB"},
};
const int COUNT = static_cast<int>(sizeof ROWS / sizeof ROWS[0]);
}  // namespace

int LanguageTable::size() { return COUNT; }

const LanguageTable::Row& LanguageTable::rowAt(int i) { return ROWS[i]; }

const LanguageTable::Row* LanguageTable::find(int langId) {
  for (const Row& r : ROWS)
    if (r.langId == langId) return &r;
  return nullptr;
}

int LanguageTable::findLocale(const char* localeName) {
  if (!localeName || !*localeName) return 0;
  std::string name(localeName);
  for (const Row& r : ROWS)
    if (name == r.localeName) return r.langId;
  size_t at = name.find('@');
  if (at != std::string::npos) {
    name.erase(at);
    for (const Row& r : ROWS)
      if (name == r.localeName) return r.langId;
  }
  std::string language = name.substr(0, name.find('_')) + "_";
  int found = 0;
  for (const Row& r : ROWS) {
    if (std::strncmp(r.localeName, language.c_str(), language.size()) != 0) continue;
    if ((r.langId >> 10) == 1) return r.langId;  // the primary sub-language
    if (!found) found = r.langId;
  }
  return found;
}
