// Paper types of the print preview with their Windows paper codes and sizes.
#pragma once

#include <QPageSize>
#include <QSize>

enum TPaperType {
    pLetter,
    pLetterSmall,
    pTabloid,
    pLedger,
    pLegal,
    pStatement,
    pExecutive,
    pA3,
    pA4,
    pA4Small,
    pA5,
    pB4,
    pB5,
    pFolio,
    pQuatro,
    p10x14,
    p11x17,
    pNote,
    pEnv9,
    pEnv10,
    pEnv11,
    pEnv12,
    pEnv14,
    pCSheet,
    pDSheet,
    pESheet,
    pEnvDL,
    pEnvC5,
    pEnvC3,
    pEnvC4,
    pEnvC6,
    pEnvC65,
    pEnvB4,
    pEnvB5,
    pEnvB6,
    pEnvItaly,
    pEnvMonarch,
    pEnvPersonal,
    pFanfoldUSStd,
    pFanfoldGermanStd,
    pFanfoldGermanLegal,
    pB4ISO,
    pJapanesePostcard,
    p9x11,
    p10x11,
    p15x11,
    pEnvInvite,
    pLetterExtra,
    pLegalExtra,
    TabloidExtra,
    pA4Extra,
    pLetterTransverse,
    pA4Transverse,
    pLetterExtraTransverse,
    pAPlus,
    pBPlus,
    pLetterPlus,
    pA4Plus,
    pA5Transverse,
    pB5Transverse,
    pA3Extra,
    pA5Extra,
    pB5Extra,
    pA2,
    pA3Transverse,
    pA3ExtraTransverse,
    pCustom
};
inline constexpr int PaperTypeCount = pCustom + 1;

struct TPaperInfo
{
    int code;   // the Windows paper code (DMPAPER_...)
    QSize size; // portrait, in 0.1 mm; empty for pCustom
};

const TPaperInfo &PaperInfo(TPaperType type);
// The page size a printer is given for a paper of `size` in 0.1 mm: Qt's
// own page size where it has one of that size, a custom one otherwise.
QPageSize PageSizeOf(const QSize &size);
