// The order of result texts.
#include "protocol/ResultText.h"

#include "protocol/ProtocolTable.h"

ResultTextKey ResultTextKeyOf(QStringView text)
{
    if (IsBlankText(text))
        return {ResultTextKey::Empty, 0.0};
    if (text == DropOutMark || text == NotStartedMark)
        return {ResultTextKey::DropOut, 0.0};
    if (text == DisqualifiedMark)
        return {ResultTextKey::Disqualified, 0.0};
    if (const std::optional<double> value = ReadRaceNumber(text))
        return {ResultTextKey::Number, *value};
    return {ResultTextKey::OtherText, 0.0};
}

int CompareResultText(const QString &a, const QString &b)
{
    return CompareResultKeys(ResultTextKeyOf(a), a, ResultTextKeyOf(b), b);
}
