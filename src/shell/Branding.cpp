#include "shell/Branding.h"

#include "shell/Cipher.h"

namespace {
// Enciphered with key 7; the plain text stands beside each for review.
enum Index { kTitle, kSuffix, kProduct, kProductTitle, kTrayLine, kMaker, kMakerLine2, kNotice, kWeb, kTel, kFax, kEMail, kCount };
const char16_t *const kTexts[kCount] = {
    u"5BE56287E653B0A5A1",                                     // S.O.V.A.
    u"6E666213A900EDFBC9B9C7F2DAE2F7F0FD",                     // 经络能量分析系统
    u"0F292146271370E566",                                     // S.O.V.A.
    u"0B1535B2B364A3B0ACF4E4F68A3A915B44711EB9E9D2E9E98166",   // S.O.V.A. 经络能量分析系统
    u"2325FC5F869B3F0B2C62E671F46BC3C4BD7ED40A1244E63E9AE9419E50B020CE8AEE20FC44F02B", // Kelvor S.O.V.A. Meridian Energy System
    u"E0EBEF860EB2B822B149A90DE0D5FD",                         // 凯乐沃健康科技
    u"8C9C74D61EE367D36EEB1AE26484CB1523F36B9465E31809B4",     // Kelvor Health Technology
    u"4F4A7F7E3F95A5375C2E805AC8C019E79D2B2EAD1DEEE0F2A90FA44D1191776E51144C6C09864023AB2CFD", // 本软件仅供健康管理参考，不作医疗诊断之用。
    u"F515FF42E13B442724A34CA7E61A1049E623A29D62E80118BE78B3", // https://www.kelvor.example
    u"37A5D297DAFED7C70A95075FBCA4BEDB55F029172665DE",         // 服务电话：400-000-1010
    u"F1EDEFF38943CCA8ABE3461271E9759791B4D249",               // 传真：010-0000-1011
    u"A05FB213DA2ABC76C4083AC20A31CCCF6C91C57E8FC964",         // service@kelvor.example
};

QString text(Index i) { return DecipherOrEmpty(QString::fromUtf16(kTexts[i]), 7); }
} // namespace

namespace Branding {
QString Title() { return text(kTitle); }
QString Suffix() { return text(kSuffix); }
QString Product() { return text(kProduct); }
QString ProductTitle() { return text(kProductTitle); }
QString TrayLine() { return text(kTrayLine); }
QString Maker() { return text(kMaker); }
QString MakerLine2() { return text(kMakerLine2); }
QString Notice() { return text(kNotice); }
QString Web() { return text(kWeb); }
QString Tel() { return text(kTel); }
QString Fax() { return text(kFax); }
QString EMail() { return text(kEMail); }

QStringList PlainTexts() {
  QStringList out;
  for (int i = 0; i < kCount; ++i)
    out << text(Index(i));
  return out;
}

QStringList BrandingFileLines() {
  // Thirteen lines: the twelve texts and the version line, each enciphered anew.
  QStringList out;
  for (const QString &t : PlainTexts())
    out << EncipherText(t, 7);
  out << EncipherText(QStringLiteral("So-10 Version 6.5.0"), 7);
  return out;
}
} // namespace Branding
