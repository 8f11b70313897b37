# The achievement catalogue written out by generate.py as resources/AchievementsList.json.
#
# No public Russian catalogue of the publisher's achievements exists in machine-readable
# form, so this table is compiled by hand. It covers the awards of the game's account
# records of 2015-2016 (versions 0.9.12 to 0.9.16): the keys are the publisher's API keys
# as they appear in account answers (camel case; the national variants carry the nation
# digit 0..8), and section and type follow the game's own award table of that time.
# Titles are the Russian award names; descriptions are our own one-line wording.
# Rows are (key, type, condition, title, description), grouped by section.
#
# Besides the current keys the table holds the keys the program itself produces when it
# converts old snapshots: the five record counters of the oldest layout and
# "medalDelanglade" (the converted spelling of the old "medal_delanglade"; current
# answers spell the award "medalDeLanglade").
#
# section:   battle, epic, class, special, memorial, group, action
# type:      repeatable (counted each time), class (stages I..IV), single (once or a
#            stored figure), custom (all-nations award summed over its national
#            variants), series (best series kept in "max_series")
# condition: the battle mode the award is earned in ("random", "team" for team and
#            ladder battles, "stronghold", "clan", "fallout", "historical"), or "" when
#            it belongs to an event rather than to one mode.
#
# The document keeps this row order; "order" is the row's position (1, 2, ...), except
# for the five record counters of old snapshots, which carry order 0: they hold the
# longest series, which the series awards already show.

# Nation digit used in national keys and the Russian nation name, digit order.
NATIONS = [
    ("0", "СССР"),
    ("1", "Германия"),
    ("2", "США"),
    ("3", "Китай"),
    ("4", "Франция"),
    ("5", "Великобритания"),
    ("6", "Япония"),
    ("7", "Чехословакия"),
    ("8", "Швеция"),
]

_BATTLE = [
    ("warrior", "repeatable", "random", "Воин",
     "Уничтожить в бою больше всех в команде, не менее 6 машин противника."),
    ("invader", "repeatable", "random", "Захватчик",
     "Набрать больше всех очков захвата базы противника, не менее 80, в победном бою."),
    ("sniper2", "repeatable", "random", "Снайпер",
     "Нанести в бою не менее 1000 урона, попадая с высокой точностью."),
    ("defender", "repeatable", "random", "Защитник",
     "Сбить больше всех очков захвата своей базы, не менее 70."),
    ("steelwall", "repeatable", "random", "Стальная стена",
     "Принять на себя больше всех урона в команде, не менее 1000 при 11 и более попаданиях, и выжить."),
    ("supporter", "repeatable", "random", "Поддержка",
     "Повредить больше всех машин, уничтоженных союзниками, не менее 6."),
    ("scout", "repeatable", "random", "Разведчик",
     "Обнаружить в бою больше всех машин противника, не менее 9."),
    ("evileye", "repeatable", "random", "Дозорный",
     "Больше всех в команде помочь союзникам уничтожить обнаруженные тобой машины."),
    ("mainGun", "repeatable", "random", "Основной калибр",
     "Нанести больше всех урона в бою, не менее 1000 и не менее 20 процентов прочности всей команды противника."),
    ("geniusForWarMedal", "repeatable", "team", "Военный гений",
     "Набрать за серию командных боёв много опыта, оставаясь лучшим в своей команде."),
    ("wolfAmongSheepMedal", "repeatable", "team", "Волк в овечьей шкуре",
     "Нанести в командных боях много урона машинам противника, оставшись почти невредимым."),
]

_HISTORICAL_BATTLES = [
    ("1", "Весеннее пробуждение"),
    ("2", "Курская битва"),
    ("3", "Арденнская операция"),
    ("4", "Брянский фронт"),
    ("5", "Берлинская операция"),
    ("6", "Осада Тобрука"),
]


def _battlefield_rows():
    return [("histBattle" + number + "_battlefield", "single", "historical",
             "Поле битвы: " + battle,
             "Проявить себя в историческом бою «" + battle + "», сыграв в победе решающую роль.")
            for number, battle in _HISTORICAL_BATTLES]


def _history_lesson_rows():
    return [("histBattle" + number + "_historyLessons", "single", "historical",
             "Уроки истории: " + battle,
             "Одержать победы в историческом бою «" + battle + "» за обе стороны.")
            for number, battle in _HISTORICAL_BATTLES]


_EPIC = [
    ("medalKolobanov", "repeatable", "random", "Медаль Колобанова",
     "Победить, оставшись одному против пяти и более машин противника."),
    ("medalRadleyWalters", "repeatable", "random", "Медаль Рэдли-Уолтерса",
     "Уничтожить 8 или 9 машин противника на машине V уровня и выше."),
    ("medalLafayettePool", "repeatable", "random", "Медаль Пула",
     "Уничтожить от 10 до 13 машин противника на машине V уровня и выше."),
    ("heroesOfRassenay", "repeatable", "random", "Медаль героев Расейняя",
     "Уничтожить в одном бою 14 и более машин противника."),
    ("medalOrlik", "repeatable", "random", "Медаль Орлика",
     "Уничтожить на лёгком танке не менее трёх машин противника уровнем выше."),
    ("medalOskin", "repeatable", "random", "Медаль Оськина",
     "Уничтожить на среднем танке не менее трёх машин противника уровнем выше."),
    ("medalHalonen", "repeatable", "random", "Медаль Халонена",
     "Уничтожить на ПТ-САУ не менее трёх машин противника уровнем выше."),
    ("medalBurda", "repeatable", "random", "Медаль Бурды",
     "Уничтожить за бой не менее пяти вражеских САУ, находясь не на САУ."),
    ("medalBillotte", "repeatable", "random", "Медаль Бийота",
     "Уничтожить не менее двух машин противника после тяжёлых повреждений и выжить."),
    ("medalFadin", "repeatable", "random", "Медаль Фадина",
     "Уничтожить последнюю машину противника последним снарядом боекомплекта."),
    ("medalDeLanglade", "repeatable", "random", "Медаль де Ланглада",
     "Отличиться в обороне, сбив за бой очень много очков захвата своей базы."),
    ("medalDelanglade", "repeatable", "random", "Медаль де Ланглада",
     "Медаль де Ланглада по данным прежнего формата статистики."),
    ("medalTamadaYoshio", "repeatable", "random", "Медаль Тамады Ёсио",
     "Уничтожить на лёгком танке не менее двух машин противника уровнем выше."),
    ("medalNikolas", "repeatable", "random", "Медаль Николса",
     "Уничтожить на среднем танке не менее четырёх машин противника уровнем выше."),
    ("medalLehvaslaiho", "repeatable", "random", "Медаль Лехвеслайхо",
     "Уничтожить на среднем танке не менее двух машин противника уровнем выше."),
    ("medalDumitru", "repeatable", "random", "Медаль Думитру",
     "Уничтожить не менее трёх машин противника, оставшись с малым запасом прочности, и победить."),
    ("medalPascucci", "repeatable", "random", "Медаль Паскуччи",
     "Уничтожить за бой не менее трёх вражеских САУ."),
    ("medalTarczay", "repeatable", "random", "Медаль Тарцая",
     "Уничтожить не менее четырёх машин противника, получив тяжёлые повреждения."),
    ("medalBrunoPietro", "repeatable", "random", "Медаль Бруно",
     "Уничтожить не менее пяти машин противника и выжить с небольшим запасом прочности."),
    ("medalGore", "repeatable", "random", "Медаль Гора",
     "Нанести за бой урон, многократно превышающий прочность собственной машины."),
    ("medalStark", "repeatable", "random", "Медаль Старка",
     "Эпическая медаль за уничтожение нескольких машин противника в тяжёлой обстановке боя."),
    ("huntsman", "repeatable", "random", "Медаль Найдина",
     "Уничтожить за бой не менее трёх лёгких танков противника."),
] + _battlefield_rows()

_CLASS = [
    ("medalKay", "class", "random", "Медаль Кея",
     "Этапная награда за число полученных званий героя битвы."),
    ("medalCarius", "class", "random", "Медаль Кариуса",
     "Этапная награда за число уничтоженных машин противника."),
    ("medalKnispel", "class", "random", "Медаль Книспеля",
     "Этапная награда за сумму нанесённого и полученного урона."),
    ("medalPoppel", "class", "random", "Медаль Попеля",
     "Этапная награда за число обнаруженных машин противника."),
    ("medalAbrams", "class", "random", "Медаль Абрамса",
     "Этапная награда за число побед, в которых машина выжила."),
    ("medalLeClerc", "class", "random", "Медаль Леклерка",
     "Этапная награда за очки захвата баз противника."),
    ("medalLavrinenko", "class", "random", "Медаль Лавриненко",
     "Этапная награда за очки защиты своей базы."),
    ("medalEkins", "class", "random", "Медаль Экинса",
     "Этапная награда за уничтожение машин VIII–X уровней на машинах тех же уровней."),
    ("readyForBattleLT", "class", "random", "Боевая готовность: лёгкие танки",
     "Этапная награда за победы в случайных боях на лёгких танках высоких уровней."),
    ("readyForBattleMT", "class", "random", "Боевая готовность: средние танки",
     "Этапная награда за победы в случайных боях на средних танках высоких уровней."),
    ("readyForBattleHT", "class", "random", "Боевая готовность: тяжёлые танки",
     "Этапная награда за победы в случайных боях на тяжёлых танках высоких уровней."),
    ("readyForBattleATSPG", "class", "random", "Боевая готовность: ПТ-САУ",
     "Этапная награда за победы в случайных боях на ПТ-САУ высоких уровней."),
    ("readyForBattleSPG", "class", "random", "Боевая готовность: САУ",
     "Этапная награда за победы в случайных боях на САУ высоких уровней."),
    ("makerOfHistory", "class", "historical", "Творец истории",
     "Этапная награда за победы в исторических боях за обе стороны."),
    ("guardsman", "class", "historical", "Гвардеец",
     "Этапная награда за победы в исторических боях на более слабых машинах."),
    ("forTacticalOperations", "class", "team", "За тактические операции",
     "Этапная награда за медали, полученные в командных боях."),
    ("battleTested", "class", "team", "Закалённый в боях",
     "Этапная награда за число проведённых командных боёв."),
    ("strategicOperations", "class", "team", "За стратегические операции",
     "Этапная награда за успехи в рейтинговых командных боях."),
    ("conqueror", "class", "stronghold", "Завоеватель",
     "Этапная награда за захват баз противника в битвах за укрепрайон."),
    ("fireAndSword", "class", "stronghold", "За решающие бои",
     "Этапная награда за успехи в битвах за укрепрайон."),
    ("kampfer", "class", "stronghold", "Рубака",
     "Этапная награда за победы в вылазках укрепрайона."),
    ("soldierOfFortune", "class", "stronghold", "Солдат удачи",
     "Этапная награда за бои укрепрайонов в составе чужого клана."),
    ("medalRotmistrov", "class", "clan", "Медаль Ротмистрова",
     "Этапная награда за участие клана в кампании на Глобальной карте."),
]


def _national(key, title, variant_title, all_description, nation_description):
    rows = [(key, "custom", "random", title, all_description)]
    for digit, nation in NATIONS:
        rows.append((key + digit, "custom", "random", variant_title + ": " + nation,
                     nation_description + " " + nation + "."))
    return rows


_SPECIAL = [
    ("titleSniper", "series", "random", "Стрелок",
     "Наибольшая серия попаданий подряд; звание даётся за 10 попаданий."),
    ("invincible", "series", "random", "Неуязвимый",
     "Наибольшая серия боёв подряд без потери прочности; звание даётся за 5 боёв."),
    ("diehard", "series", "random", "Живучий",
     "Наибольшая серия боёв подряд, в которых машина выжила; звание даётся за 20 боёв."),
    ("armorPiercer", "series", "random", "Бронебойщик",
     "Наибольшая серия пробитий подряд; звание даётся за 10 пробитий."),
    ("handOfDeath", "series", "random", "Коса смерти",
     "Наибольшая серия выстрелов подряд, уничтоживших машину противника; звание даётся за 3."),
    ("aimer", "series", "random", "Корректировщик",
     "Наибольшая серия засветов подряд, по которым союзники нанесли урон."),
    ("tacticalBreakthrough", "series", "team", "Тактический прорыв",
     "Наибольшая серия побед подряд в командных боях."),
    ("victoryMarch", "series", "team", "Победный марш",
     "Наибольшая серия побед подряд в рейтинговых командных боях."),
    ("raider", "repeatable", "random", "Рейдер",
     "Захватить базу противника, ни разу не будучи обнаруженным."),
    ("kamikaze", "repeatable", "random", "Камикадзе",
     "Уничтожить тараном машину противника уровнем выше."),
    ("bombardier", "repeatable", "random", "Бомбардир",
     "Уничтожить одним фугасным выстрелом две и более машины противника."),
    ("beasthunter", "repeatable", "random", "Зверобой",
     "Уничтожить 100 немецких машин из семейства Тигров, Пантер и им подобных."),
    ("mousebane", "repeatable", "random", "Гроза мышей",
     "Уничтожить 10 сверхтяжёлых танков Maus."),
    ("pattonValley", "repeatable", "random", "Долина Паттонов",
     "Уничтожить 100 танков Patton разных модификаций."),
    ("sinai", "repeatable", "random", "Лев Синая",
     "Уничтожить 100 машин семейства ИС."),
    ("lumberjack", "repeatable", "random", "Лесоруб",
     "Повалить за бой не менее 30 деревьев."),
    ("alaric", "repeatable", "random", "Аларих",
     "Памятная награда случайных боёв прежних версий игры."),
    ("medalAntiSpgFire", "repeatable", "random", "За контрбатарейную борьбу",
     "Уничтожить на САУ за бой не менее двух вражеских САУ."),
    ("medalCoolBlood", "repeatable", "random", "Хладнокровный",
     "Уничтожить несколько машин противника в ближнем бою, сохранив хладнокровие."),
    ("impenetrable", "repeatable", "random", "Непробиваемый",
     "Выдержать много попаданий за бой без единого пробития брони."),
    ("shootToKill", "repeatable", "random", "Огонь на поражение",
     "Награда за точный и результативный огонь по противнику за бой."),
    ("fighter", "repeatable", "random", "Боец",
     "Уничтожить за бой не менее четырёх машин противника."),
    ("duelist", "repeatable", "random", "Дуэлянт",
     "Уничтожить за бой не менее двух машин противника, которые первыми нанесли тебе урон."),
    ("reliableComrade", "repeatable", "random", "Надёжный товарищ",
     "Многократно выручить союзников, помогая уничтожать машины противника."),
    ("counterblow", "repeatable", "stronghold", "Ответный удар",
     "Награда за успешную контратаку в битве за укрепрайон."),
    ("crusher", "repeatable", "stronghold", "Сокрушитель крепостей",
     "Награда за разгром обороны противника в битве за укрепрайон."),
    ("promisingFighterMedal", "repeatable", "team", "Перспективный боец",
     "Стать лучшим по опыту в своей команде в нескольких командных боях."),
    ("heavyFireMedal", "repeatable", "team", "Шквальный огонь",
     "Нанести больше всех урона в своей команде в нескольких командных боях."),
    ("rangerMedal", "repeatable", "team", "Рейнджер",
     "Уничтожить много лёгких танков противника в командных боях."),
    ("fireAndSteelMedal", "repeatable", "team", "Огнём и сталью",
     "Уничтожить много машин противника в командных боях."),
    ("pyromaniacMedal", "repeatable", "team", "Пироман",
     "Поджечь много машин противника в командных боях."),
    ("guerrillaMedal", "repeatable", "team", "Партизан",
     "Наносить урон противнику, оставаясь необнаруженным, в командных боях."),
    ("infiltratorMedal", "repeatable", "team", "Диверсант",
     "Набрать много очков захвата базы противника в командных боях."),
    ("sentinelMedal", "repeatable", "team", "Часовой",
     "Сбить много очков захвата своей базы в командных боях."),
    ("prematureDetonationMedal", "repeatable", "team", "Ахиллесова пята",
     "Вызвать много взрывов боеукладки машин противника в командных боях."),
    ("bruteForceMedal", "repeatable", "team", "Грубая сила",
     "Уничтожить много машин противника тараном в командных боях."),
    ("fightingReconnaissanceMedal", "repeatable", "team", "Разведка боем",
     "Обнаружить много машин противника в командных боях."),
    ("crucialShotMedal", "repeatable", "team", "Решающий выстрел",
     "Уничтожить последнюю машину противника в нескольких командных боях."),
    ("willToWinSpirit", "repeatable", "team", "Воля к победе",
     "Победить в командном бою, оставшись одному против превосходящего противника."),
    ("tacticalAdvantage", "repeatable", "team", "Тактическое превосходство",
     "Награда за уверенную победу в рейтинговом командном бою."),
    ("sauronEye", "repeatable", "fallout", "Всевидящее око",
     "Обнаружить больше всех машин противника в бою режима «Бой до последнего»."),
] + _national(
    "tankExpert", "Эксперт", "Эксперт",
    "Уничтожить хотя бы по одной машине каждой модели всех наций.",
    "Уничтожить хотя бы по одной машине каждой модели нации") + _national(
    "mechanicEngineer", "Ведущий инженер-механик", "Инженер-механик",
    "Исследовать все машины всех наций.",
    "Исследовать все машины нации") + [
    ("maxDiehardSeries", "single", "random", "Рекорд серии «Живучий»",
     "Наибольшая серия боёв подряд с выживанием, по данным прежнего формата статистики."),
    ("maxInvincibleSeries", "single", "random", "Рекорд серии «Неуязвимый»",
     "Наибольшая серия боёв подряд без потери прочности, по данным прежнего формата статистики."),
    ("maxKillingSeries", "single", "random", "Рекорд серии «Коса смерти»",
     "Наибольшая серия уничтожений подряд, по данным прежнего формата статистики."),
    ("maxPiercingSeries", "single", "random", "Рекорд серии «Бронебойщик»",
     "Наибольшая серия пробитий подряд, по данным прежнего формата статистики."),
    ("maxSniperSeries", "single", "random", "Рекорд серии «Стрелок»",
     "Наибольшая серия попаданий подряд, по данным прежнего формата статистики."),
]

# Keys whose "order" is 0 (see the header).
UNORDERED_KEYS = {
    "maxDiehardSeries", "maxInvincibleSeries", "maxKillingSeries",
    "maxPiercingSeries", "maxSniperSeries",
}

_MEMORIAL = [
    ("sniper", "repeatable", "random", "Снайпер (прежний)",
     "Прежняя редакция звания «Снайпер»: точная стрельба с высоким процентом попаданий."),
    ("medalMonolith", "repeatable", "random", "Монолит",
     "Награда за стойкость: принять в бою много урона и остаться в строю."),
    ("ironMan", "repeatable", "random", "Невозмутимый",
     "Принять за бой не менее 10 попаданий без единого пробития брони."),
    ("sturdy", "repeatable", "random", "Спартанец",
     "Выжить после попадания, которое могло уничтожить машину."),
    ("luckyDevil", "repeatable", "random", "Счастливчик",
     "Выжить после разрыва фугаса рядом с машиной, сохранив часть прочности."),
    ("demolition", "repeatable", "random", "Подрывник",
     "Вызвать за бой взрыв боеукладки у нескольких машин противника."),
    ("arsonist", "repeatable", "random", "Поджигатель",
     "Поджечь за бой несколько машин противника."),
    ("bonecrusher", "repeatable", "random", "Костолом",
     "Повредить за бой модули и экипаж машин противника много раз."),
    ("charmed", "repeatable", "random", "Заговорённый",
     "Выжить после множества попаданий без единого критического повреждения."),
    ("even", "repeatable", "random", "Око за око",
     "Уничтожить машину противника, которая только что уничтожила союзника."),
    ("kingOfTheHill", "repeatable", "team", "Царь горы",
     "Награда командных боёв за успешный захват базы противника."),
    ("godOfWar", "repeatable", "team", "Бог войны",
     "Награда командных боёв для САУ за большой нанесённый урон."),
    ("noMansLand", "repeatable", "team", "Выжженная земля",
     "Награда командных боёв за надёжную оборону своей базы."),
] + _history_lesson_rows() + [
    ("tankwomen", "single", "", "Танкистки",
     "Памятный знак акции, посвящённой женщинам-танкисткам."),
    ("firstMerit", "single", "", "Первая заслуга",
     "Памятный знак за первое отличие в боях."),
]

_GROUP = [
    ("medalCrucialContribution", "repeatable", "random", "Решающий вклад",
     "Взвод уничтожил в бою не менее 12 машин противника."),
    ("medalBrothersInArms", "repeatable", "random", "Братья по оружию",
     "Каждый участник взвода уничтожил не менее трёх машин противника и выжил."),
    ("armoredFist", "repeatable", "team", "Бронированный кулак",
     "Вся команда выжила и победила в командном бою."),
    ("tacticalSkill", "repeatable", "team", "Тактическое мастерство",
     "Команда победила в рейтинговом командном бою, действуя слаженно."),
    ("secretOperations", "repeatable", "team", "Внезапный удар",
     "Команда быстро победила в рейтинговом командном бою."),
]

_ACTION = [
    ("medalWittmann", "repeatable", "random", "Медаль Бёльтера",
     "Уничтожить за бой не менее 7 машин противника на машине IV уровня и выше."),
    ("whiteTiger", "single", "", "Белый тигр",
     "Памятный знак охоты на «Белого тигра»."),
    ("battleCitizen", "single", "", "Операция «Ностальгия»",
     "Памятный знак участия в событии с боями по правилам прошлых лет."),
    ("operationWinter", "single", "", "Операция «Зима»",
     "Памятный знак участия в зимней операции."),
    ("WFC2014", "series", "", "Футболист 2014",
     "Наибольшая серия побед в футбольных боях летнего события 2014 года."),
    ("deathTrack", "series", "", "Гонщик 2014",
     "Наибольшая серия побед в гонках события 2014 года."),
    ("EFC2016", "series", "", "Футболист 2016",
     "Наибольшая серия побед в футбольных боях летнего события 2016 года."),
    ("EFC2016Goleador", "repeatable", "", "Хет-трик",
     "Забить три гола за один футбольный бой события 2016 года."),
    ("testartilleryman", "repeatable", "", "Ракетчик",
     "Награда испытаний экспериментальной артиллерии."),
    ("moonSphere", "single", "", "Лунная сфера",
     "Памятный знак первоапрельского боя на Луне."),
    ("markI100Years", "class", "", "100 лет танкостроения",
     "Этапная награда события к столетию появления танков на поле боя."),
    ("markIProtector", "single", "", "Почётный караул",
     "Защитить танк Mark I в бою события к столетию танков."),
    ("markIBaseProtector", "single", "", "Защитник базы",
     "Отстоять базу в бою события к столетию танков."),
    ("markIBomberman", "repeatable", "", "Бомбермен",
     "Подорвать машины противника в бою события к столетию танков."),
    ("markIRepairer", "repeatable", "", "Полевой ремонт",
     "Отремонтировать союзный танк Mark I в бою события к столетию танков."),
    ("fallout", "single", "fallout", "Герой «Превосходства»",
     "Памятный знак первого события режима «Бой до последнего»."),
    ("fallout2", "single", "fallout", "Славная победа",
     "Памятный знак второго события режима «Бой до последнего»."),
    ("falloutSingleWolf", "single", "fallout", "Одинокий волк",
     "Победить в одиночку в режиме «Бой до последнего»."),
    ("falloutPackOfWolfs", "single", "fallout", "Стая",
     "Победить взводом в режиме «Бой до последнего»."),
    ("falloutSteelHunter", "single", "fallout", "Стальной охотник",
     "Уничтожить много машин противника в режиме «Бой до последнего»."),
    ("falloutAlwaysInLine", "single", "fallout", "Всегда в строю",
     "Провести много боёв в режиме «Бой до последнего»."),
    ("stormLord", "class", "fallout", "Валькирия",
     "Этапная награда за урон, нанесённый в режиме «Бой до последнего»."),
    ("winnerLaurels", "class", "fallout", "Лавры победителя",
     "Этапная награда за победы в режиме «Бой до последнего»."),
    ("shoulderToShoulder", "repeatable", "fallout", "Плечом к плечу",
     "Победить взводом, где каждый внёс большой вклад, в бою «Боя до последнего»."),
    ("aloneInTheField", "repeatable", "fallout", "Один в поле воин",
     "Победить, сражаясь в одиночку против многих, в бою «Боя до последнего»."),
    ("fallenFlags", "repeatable", "fallout", "Павшие знамёна",
     "Помешать противнику доставить флаги в бою «Боя до последнего»."),
    ("effectiveSupport", "repeatable", "fallout", "Эффективная поддержка",
     "Больше всех помочь союзникам в бою «Боя до последнего»."),
    ("falloutDieHard", "repeatable", "fallout", "Несгибаемый",
     "Ни разу не быть уничтоженным в бою «Боя до последнего»."),
    ("predator", "repeatable", "fallout", "Хищник",
     "Уничтожить много машин противника подряд в бою «Боя до последнего»."),
    ("unreachable", "repeatable", "fallout", "Недосягаемый",
     "Набрать много очков, почти не получив урона, в бою «Боя до последнего»."),
    ("champion", "repeatable", "fallout", "Чемпион",
     "Уничтожить больше всех машин противника в бою «Боя до последнего»."),
    ("bannerman", "repeatable", "fallout", "Знаменосец",
     "Доставить на базу больше всех флагов в бою «Боя до последнего»."),
]

# Sections in display order with their rows.
SECTIONS = [
    ("battle", _BATTLE),
    ("epic", _EPIC),
    ("class", _CLASS),
    ("special", _SPECIAL),
    ("memorial", _MEMORIAL),
    ("group", _GROUP),
    ("action", _ACTION),
]
