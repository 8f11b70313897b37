#include "shell/usage.h"

#ifndef TARVELO_VERSION
#define TARVELO_VERSION "0"
#endif
#ifndef TARVELO_BUILD_DATE
#define TARVELO_BUILD_DATE "?\?.?\?.????"
#endif

namespace tarvelo {

std::string HelpText() {
  return "Tarvelo — статистика игроков и кланов World of Tanks.\n"
         "\n"
         "Использование:\n"
         "  tarvelo [ЗАПРОС]           окно программы; ЗАПРОС ищется сразу после запуска\n"
         "  tarvelo /F [/Q]            загрузить всех избранных; с /Q затем закрыть программу\n"
         "  tarvelo --headless --page ФАЙЛ [ПАРАМЕТРЫ БЕЗ ОКНА] [ЗАПРОС]\n"
         "                             то же без окна: страницы пишутся в файлы\n"
         "  tarvelo --figures СНИМОК.json [--older СТАРЫЙ.json] [--mode РЕЖИМ] [--id НОМЕР]\n"
         "                             показатели снимка из кеша (или за период) в виде JSON\n"
         "  tarvelo --history-days НОМЕР        сохранённые дни игрока, новые первыми\n"
         "  tarvelo --history-show НОМЕР ГГГГ-ММ-ДД   снимок дня как он сохранён\n"
         "  tarvelo --history-compact           перенести старые дни в архив истории сейчас\n"
         "  tarvelo --history-size              место, которое занимает история\n"
         "  tarvelo --history-export НОМЕР ПАПКА   все дни игрока обратно простыми файлами\n"
         "  tarvelo --refresh-reference\n"
         "                             обновить справочник машин и ожидаемые значения WN8;\n"
         "                             код выхода 0, если оба последние или обновлены, иначе 1\n"
         "  tarvelo --help             эта справка\n"
         "  tarvelo --version          версия и дата сборки\n"
         "\n"
         "ЗАПРОС — имя игрока, тег клана в квадратных скобках ([TAG]) или @ и номер, а за ним\n"
         "по желанию:\n"
         "  &days=N        разница за последние N дней; для клана -1…-5 — лучшая техника\n"
         "  &mode=РЕЖИМ    режим боёв: all, random, clan, company, stronghold, team, ...\n"
         "  &chart=N       графики «Истории» за N последних сохранённых дней (0 — за все)\n"
         "  &update        загрузить данные заново, даже если в кеше есть свежие\n"
         "  &debug         журнал под каждой страницей; &debugfile — журнал в cache/debug.txt\n"
         "Имя, начинающееся с «-», не ищется: это параметр командной строки.\n"
         "\n"
         "Параметры без окна (--headless):\n"
         "  --page ФАЙЛ           записать в ФАЙЛ последнюю показанную страницу (обязателен)\n"
         "  --pages ПАПКА         записать в ПАПКУ каждую страницу: page-001.html, ...\n"
         "  --answer ОТВЕТ        ответ на каждый вопрос: yes, no (по умолчанию) или cancel\n"
         "  --command ЗАГОЛОВОК   команда страницы, например \"[CMD:]search[PRM:]Имя\"\n"
         "  --break-after K       прервать сбор данных клана, когда собраны K бойцов\n"
         "  --                    дальше только ЗАПРОС\n"
         "Окна сообщений и вопросы выводятся в стандартный поток ошибок.\n"
         "Код выхода: 0 — каждый поиск дал отчёт; 1 — поиск не удался (его сообщения —\n"
         "в стандартном потоке ошибок); 2 — ошибка в параметрах.\n"
         "\n"
         "Файлы:\n"
         "  настройки          $XDG_CONFIG_HOME/tarvelo/settings.ini (~/.config/tarvelo/)\n"
         "  кеш и картинки     $XDG_DATA_HOME/tarvelo/ (~/.local/share/tarvelo/); рядом с\n"
         "                     программой, если там уже есть папка cache или лежит файл\n"
         "                     portable; переменная TARVELO_HOME задаёт папку для обоих\n"
         "  справочники        папка reference рядом с кешем; загружаются при запуске\n";
}

std::string VersionText() {
  return std::string("Tarvelo ") + TARVELO_VERSION + " (сборка от " + TARVELO_BUILD_DATE + ")\n";
}

std::string UnknownOptionText(std::string_view option) {
  return "tarvelo: неизвестный параметр «" + std::string(option) + "».\nСправка: tarvelo --help\n";
}

std::optional<int> AnswerWithoutFrontEnd(const std::vector<std::string>& arguments, std::ostream& out,
                                         std::ostream& err) {
  if (arguments.empty() || !arguments.front().starts_with("-")) return std::nullopt;
  const std::string& option = arguments.front();
  if (option == "--help" || option == "-h") {
    out << HelpText();
    return kExitOk;
  }
  if (option == "--version") {
    out << VersionText();
    return kExitOk;
  }
  err << UnknownOptionText(option);
  return kExitUsage;
}

}  // namespace tarvelo
