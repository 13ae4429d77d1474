// The texts of the result codes.
#include "ResultText.h"

#include "text/TextPair.h"

namespace korvex {

QString ResultText(int code, int language) {
    static constexpr TextPair NoErrors{"Нет ошибок", "No errors"};
    static constexpr TextPair CommError{"Ошибка обмена данными с контроллером",
                                        "Failed to communicate with the controller"};
    static constexpr TextPair Disconnected{"Контроллер отключен", "Controller is disconnected"};
    static constexpr TextPair Timeout{"Вышел таймаут ожидания ответа",
                                      "Out of the timeout response"};
    static constexpr TextPair BadParams{"Ошибка в параметрах", "Error in parameters"};
    static constexpr TextPair Failed{"Ошибка результата", "Failed result"};
    static constexpr TextPair Unknown{"Неизвестная ошибка USB: %d", "Unknown error USB: %d"};

    if (code == result::Ok)
        return LangText(NoErrors, language);
    if (code >= 3 && code <= 11)
        return LangText(CommError, language);
    switch (code) {
    case result::Disconnected:
        return LangText(Disconnected, language);
    case result::Timeout:
        return LangText(Timeout, language);
    case result::BadParams:
        return LangText(BadParams, language);
    case result::Failed:
        return LangText(Failed, language);
    default:
        return LangFormat(Unknown, language, code);
    }
}

} // namespace korvex
