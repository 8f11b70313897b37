# The achievement catalogue written out by generate.py as resources/AchievementsList.json.
#
# No public Russian catalogue of the publisher's achievements exists in machine-readable
# form, so this table is compiled by hand. Keys are the publisher's API keys as they
# appear in account answers and in converted old snapshots (camel case; the national
# variants carry the nation digit 0..8). Titles and descriptions are our own Russian
# wording. Rows are (key, section, type, condition, title, description).
#
# Every key the program itself names is here: the keys old snapshots are converted to,
# the old keys of the oldest layout, the national variants of "tankExpert" and
# "mechanicEngineer" and the series of "max_series". The rest of the catalogue (event,
# team, stronghold, fallout and historical awards) is compiled from memory of the game
# of 2014-2016 and is not checked against a published list; its keys may differ from
# the publisher's in places, and an unknown key only shows as an award nobody has.
#
# section:   battle, epic, class, special, memorial, group, action
# type:      repeatable (counted each time), class (stages I..IV), single (once or a
#            stored figure), custom (all-nations award summed over its national
#            variants), series (best series kept in "max_series")
# condition: the battle mode the award is earned in ("random", "team", "stronghold",
#            "clan", "fallout", "historical"), or "" when it is not tied to one mode.
#
# The document keeps this row order; "order" is the row's position (1, 2, ...), except
# for the five record counters of old snapshots at the end of the table, which carry
# order 0: they hold the longest series, which the series awards already show.

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
     "Уничтожить в бою не менее 6 машин противника."),
    ("invader", "repeatable", "random", "Захватчик",
     "Набрать в бою максимум очков захвата базы, не меньше 80, и победить."),
    ("sniper2", "repeatable", "random", "Снайпер",
     "Нанести в бою не менее 1000 урона с точностью попаданий не ниже 85 процентов."),
    ("defender", "repeatable", "random", "Защитник",
     "Сбить в бою не менее 70 очков захвата своей базы."),
    ("steelwall", "repeatable", "random", "Стальная стена",
     "Принять в бою не менее 1000 урона при 11 и более попаданиях и выжить."),
    ("supporter", "repeatable", "random", "Поддержка",
     "Помочь союзникам в уничтожении наибольшего числа машин, не меньше 6."),
    ("scout", "repeatable", "random", "Разведчик",
     "Обнаружить в бою больше всех машин противника, не меньше 9."),
    ("evileye", "repeatable", "random", "Дозорный",
     "Обеспечить засветом больше всех урона союзников в команде, не меньше 1000."),
    ("mainGun", "repeatable", "random", "Основной калибр",
     "Нанести больше всех урона в бою, не меньше 1000 и не меньше 20 процентов прочности всей команды противника."),
]

_EPIC = [
    ("medalKolobanov", "repeatable", "random", "Медаль Колобанова",
     "Победить, оставшись одному против пяти и более противников."),
    ("medalRadleyWalters", "repeatable", "random", "Медаль Рэдли-Уолтерса",
     "Уничтожить от 8 до 10 машин противника на машине V уровня и выше."),
    ("medalLafayettePool", "repeatable", "random", "Медаль Пула",
     "Уничтожить от 10 до 13 машин противника на машине V уровня и выше."),
    ("medalOrlik", "repeatable", "random", "Медаль Орлика",
     "Уничтожить на лёгком танке не менее трёх машин противника среднего или тяжёлого класса уровнем выше."),
    ("medalOskin", "repeatable", "random", "Медаль Оськина",
     "Уничтожить на среднем танке не менее трёх машин противника уровнем выше."),
    ("medalHalonen", "repeatable", "random", "Медаль Халонена",
     "Уничтожить на ПТ-САУ не менее трёх машин противника уровнем выше."),
    ("medalBurda", "repeatable", "random", "Медаль Бурды",
     "Уничтожить не менее пяти вражеских САУ за бой на машине класса СТ, ЛТ или ТТ."),
    ("medalBillotte", "repeatable", "random", "Медаль Бийотта",
     "Уничтожить не менее двух машин противника, получив повреждения выше 80 процентов прочности, и выжить."),
    ("medalFadin", "repeatable", "random", "Медаль Фадина",
     "Уничтожить последнюю машину противника последним выстрелом из боекомплекта."),
    ("medalWittmann", "repeatable", "random", "Медаль Бёльтера",
     "Уничтожить на машине IV уровня и выше от 8 машин противника без поддержки союзников."),
    ("heroesOfRassenay", "repeatable", "random", "Медаль героев Расейняя",
     "Уничтожить в бою 14 и более машин противника."),
    ("medalDelanglade", "repeatable", "random", "Медаль Де Лагланда",
     "Набрать больше всех очков защиты базы за бой в команде, победившей захватом."),
    ("medalTamadaYoshio", "repeatable", "random", "Медаль Тамады Ёсио",
     "Уничтожить на лёгком танке не менее двух машин противника уровнем выше."),
    ("medalNikolas", "repeatable", "random", "Медаль Николса",
     "Уничтожить за бой не менее четырёх машин противника, защищая свою базу."),
    ("medalLehvaslaiho", "repeatable", "random", "Медаль Лехвеслайхо",
     "Уничтожить на среднем танке две машины противника уровнем выше, получив большой урон."),
    ("medalDumitru", "repeatable", "random", "Медаль Думитру",
     "Уничтожить не менее трёх машин противника, имея менее 10 процентов прочности, и победить."),
    ("medalPascucci", "repeatable", "random", "Медаль Паскуччи",
     "Уничтожить за бой не менее трёх вражеских САУ."),
    ("medalTarczay", "repeatable", "random", "Медаль Тарцая",
     "Уничтожить не менее четырёх машин противника, находясь в засвете почти весь бой."),
    ("medalBrunoPietro", "repeatable", "random", "Медаль Бруно",
     "Уничтожить не менее пяти машин противника и пережить бой с небольшим остатком прочности."),
    ("medalGore", "repeatable", "historical", "Медаль Гора",
     "Нанести в историческом бою урон, вдвое превышающий собственную прочность машины."),
    ("medalStark", "repeatable", "historical", "Медаль Старка",
     "Уничтожить в историческом бою не менее двух машин противника, действуя в одиночку."),
    ("medalGudz", "repeatable", "historical", "Медаль Гудзя",
     "Уничтожить в историческом бою не менее трёх машин противника уровнем выше."),
]

_CLASS = [
    ("medalKay", "class", "random", "Медаль Кея",
     "Этапная награда за число полученных званий «Герой битвы»."),
    ("medalCarius", "class", "random", "Медаль Кариуса",
     "Этапная награда за число уничтоженных машин противника."),
    ("medalKnispel", "class", "random", "Медаль Книспеля",
     "Этапная награда за сумму нанесённого и полученного урона."),
    ("medalPoppel", "class", "random", "Медаль Попеля",
     "Этапная награда за число обнаруженных машин противника."),
    ("medalAbrams", "class", "random", "Медаль Абрамса",
     "Этапная награда за число побед, в которых игрок выжил."),
    ("medalLeClerc", "class", "random", "Медаль Леклерка",
     "Этапная награда за очки захвата баз противника."),
    ("medalLavrinenko", "class", "random", "Медаль Лавриненко",
     "Этапная награда за очки защиты своей базы."),
    ("medalEkins", "class", "random", "Медаль Экинса",
     "Этапная награда за уничтожение машин VIII–X уровней на машинах тех же уровней."),
    ("promisingFighter", "class", "team", "Перспективный боец",
     "Этапная награда командных боёв за полученные медали «Перспективный боец»."),
    ("heavyFire", "class", "team", "Шквальный огонь",
     "Этапная награда командных боёв за полученные медали «Шквальный огонь»."),
    ("ranger", "class", "team", "Рейнджер",
     "Этапная награда командных боёв за полученные медали «Рейнджер»."),
    ("fireAndSteel", "class", "team", "Огнём и сталью",
     "Этапная награда командных боёв за полученные медали «Огнём и сталью»."),
    ("pyromaniac", "class", "team", "Пироман",
     "Этапная награда командных боёв за полученные медали «Пироман»."),
    ("guerrilla", "class", "stronghold", "Партизан",
     "Этапная награда боёв за укрепрайон за полученные медали «Партизан»."),
    ("infiltrator", "class", "stronghold", "Диверсант",
     "Этапная награда боёв за укрепрайон за полученные медали «Диверсант»."),
    ("sentinel", "class", "stronghold", "Часовой",
     "Этапная награда боёв за укрепрайон за полученные медали «Часовой»."),
    ("prematureDetonation", "class", "stronghold", "Преждевременный подрыв",
     "Этапная награда боёв за укрепрайон за полученные медали «Преждевременный подрыв»."),
    ("bruteForce", "class", "stronghold", "Грубая сила",
     "Этапная награда боёв за укрепрайон за полученные медали «Грубая сила»."),
    ("fightingReconnaissance", "class", "stronghold", "Разведка боем",
     "Этапная награда боёв за укрепрайон за полученные медали «Разведка боем»."),
    ("crucialShot", "class", "stronghold", "Решающий выстрел",
     "Этапная награда боёв за укрепрайон за полученные медали «Решающий выстрел»."),
    ("wolfAmongSheep", "class", "stronghold", "Волк в овечьей шкуре",
     "Этапная награда боёв за укрепрайон за полученные медали «Волк в овечьей шкуре»."),
    ("geniusForWar", "class", "stronghold", "Военный гений",
     "Этапная награда боёв за укрепрайон за полученные медали «Военный гений»."),
]


def _national(key, title, all_description, nation_description):
    rows = [(key, "custom", "", title, all_description)]
    for digit, nation in NATIONS:
        rows.append((key + digit, "custom", "", title + ": " + nation,
                     nation_description + " " + nation + "."))
    return rows


_SPECIAL = [
    ("titleSniper", "series", "random", "Стрелок",
     "Наибольшая серия попаданий подряд; звание даётся за серию из 10 попаданий."),
    ("invincible", "series", "random", "Неуязвимый",
     "Наибольшая серия боёв подряд без потери прочности; звание даётся за 5 боёв."),
    ("diehard", "series", "random", "Живучий",
     "Наибольшая серия боёв подряд, в которых машина выжила; звание даётся за 20 боёв."),
    ("armorPiercer", "series", "random", "Бронебойщик",
     "Наибольшая серия пробитий подряд; звание даётся за 10 пробитий."),
    ("handOfDeath", "series", "random", "Коса смерти",
     "Наибольшая серия уничтожений машин противника подряд; звание даётся за 3 уничтожения."),
    ("deathTrack", "series", "random", "Гусеничный мастер",
     "Наибольшая серия выстрелов подряд, сбивших гусеницу противника."),
    ("tacticalBreakthrough", "series", "team", "Тактический прорыв",
     "Наибольшая серия побед подряд в командных боях."),
    ("raider", "repeatable", "random", "Рейдер",
     "Захватить базу противника, ни разу не будучи обнаруженным."),
    ("kamikaze", "repeatable", "random", "Камикадзе",
     "Уничтожить тараном машину противника уровнем выше."),
    ("beasthunter", "repeatable", "random", "Зверобой",
     "Уничтожить 100 немецких машин класса Tiger, Panther и им подобных."),
    ("mousebane", "repeatable", "random", "Гроза мышей",
     "Уничтожить 10 танков Maus."),
    ("pattonValley", "repeatable", "random", "Долина Паттонов",
     "Уничтожить 100 танков Patton разных модификаций."),
    ("sinai", "repeatable", "random", "Лев Синая",
     "Уничтожить 100 машин серии ИС."),
    ("lumberjack", "repeatable", "random", "Лесоруб",
     "Повалить за бой не менее 30 деревьев."),
    ("huntsman", "repeatable", "random", "Егерь",
     "Уничтожить за бой не менее трёх лёгких танков противника."),
    ("bombardier", "repeatable", "random", "Бомбардир",
     "Уничтожить одним выстрелом фугасом две и более машины противника."),
    ("alaric", "repeatable", "random", "Аларих",
     "Уничтожить на лёгком танке две машины противника уровнем выше в одном бою."),
    ("sturdy", "repeatable", "random", "Спартанец",
     "Выжить, получив попадание, которое могло уничтожить машину."),
    ("ironMan", "repeatable", "random", "Невозмутимый",
     "Принять за бой не менее 10 попаданий без потери прочности."),
    ("luckyDevil", "repeatable", "random", "Счастливчик",
     "Выжить при взрыве снаряда рядом с машиной, оставшись с минимальной прочностью."),
    ("impenetrable", "repeatable", "random", "Непробиваемый",
     "Выдержать за бой вражеский огонь, не получив ни одного пробития."),
    ("arsonist", "repeatable", "random", "Поджигатель",
     "Поджечь за бой не менее пяти машин противника."),
    ("demolition", "repeatable", "random", "Подрывник",
     "Вызвать за бой взрыв боеукладки у двух машин противника."),
    ("bonecrusher", "repeatable", "random", "Костолом",
     "Повредить за бой модули машин противника не менее 30 раз."),
    ("charmed", "repeatable", "random", "Заговорённый",
     "Выжить и победить после множества попаданий без критических повреждений."),
    ("duelist", "repeatable", "random", "Дуэлянт",
     "Уничтожить противника, который первым открыл по тебе огонь, дважды за бой."),
    ("fighter", "repeatable", "random", "Боец",
     "Уничтожить за бой не менее четырёх машин противника и выжить."),
    ("shootToKill", "repeatable", "random", "Хладнокровный",
     "Уничтожить машину противника последним выстрелом, имея минимум прочности."),
] + _national(
    "tankExpert", "Эксперт",
    "Уничтожить хотя бы по одной машине каждой модели всех наций.",
    "Уничтожить хотя бы по одной машине каждой модели нации") + _national(
    "mechanicEngineer", "Ведущий конструктор",
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
    ("tankwomen", "single", "", "Танкистки",
     "Памятный знак акции, посвящённой женщинам-танкисткам."),
    ("whiteTiger", "single", "", "Белый тигр",
     "Памятный знак за участие в охоте на «Белого тигра»."),
    ("xmasTreeBronze", "single", "", "Новогодняя ёлка, бронза",
     "Памятный знак новогоднего события, бронзовая степень."),
    ("xmasTreeSilver", "single", "", "Новогодняя ёлка, серебро",
     "Памятный знак новогоднего события, серебряная степень."),
    ("xmasTreeGold", "single", "", "Новогодняя ёлка, золото",
     "Памятный знак новогоднего события, золотая степень."),
    ("medalRotmistrov", "single", "clan", "Медаль Ротмистрова",
     "Памятная медаль участника первой кампании на Глобальной карте."),
    ("soldierOfFortune", "single", "clan", "Солдат удачи",
     "Памятный знак за участие в боях кампании на Глобальной карте."),
    ("WFC2014", "series", "", "Футбольная серия 2014",
     "Наибольшая серия побед в футбольных боях летнего события 2014 года."),
    ("EFC2016", "series", "", "Футбольная серия 2016",
     "Наибольшая серия побед в футбольных боях летнего события 2016 года."),
    ("victoryMarch", "series", "", "Победный марш",
     "Наибольшая серия побед подряд в праздничном событии."),
    ("markI100Years", "single", "", "100 лет танкостроения",
     "Памятный знак события к столетию появления танков на поле боя."),
]

_GROUP = [
    ("medalBrothersInArms", "repeatable", "random", "Братья по оружию",
     "Все участники взвода уничтожили не менее трёх машин каждый и выжили."),
    ("medalCrucialContribution", "repeatable", "random", "Решающий вклад",
     "Взвод уничтожил в бою не менее 12 машин противника."),
    ("promisingFighterMedal", "repeatable", "team", "Перспективный боец",
     "Набрать больше всех опыта в своей команде командного боя."),
    ("heavyFireMedal", "repeatable", "team", "Шквальный огонь",
     "Нанести больше всех урона в командном бою."),
    ("rangerMedal", "repeatable", "team", "Рейнджер",
     "Уничтожить больше всех лёгких танков противника в командном бою."),
    ("fireAndSteelMedal", "repeatable", "team", "Огнём и сталью",
     "Уничтожить больше всех машин противника в командном бою."),
    ("pyromaniacMedal", "repeatable", "team", "Пироман",
     "Вызвать больше всех пожаров у противника в командном бою."),
    ("guerrillaMedal", "repeatable", "stronghold", "Партизан",
     "Уничтожить машины противника, оставаясь необнаруженным, в бою за укрепрайон."),
    ("infiltratorMedal", "repeatable", "stronghold", "Диверсант",
     "Захватить базу противника в бою за укрепрайон."),
    ("sentinelMedal", "repeatable", "stronghold", "Часовой",
     "Отстоять свою базу от захвата в бою за укрепрайон."),
    ("prematureDetonationMedal", "repeatable", "stronghold", "Преждевременный подрыв",
     "Уничтожить машину противника, захватывающую базу, в бою за укрепрайон."),
    ("bruteForceMedal", "repeatable", "stronghold", "Грубая сила",
     "Нанести больше всех урона тараном в бою за укрепрайон."),
    ("fightingReconnaissanceMedal", "repeatable", "stronghold", "Разведка боем",
     "Обнаружить больше всех машин противника в бою за укрепрайон."),
    ("crucialShotMedal", "repeatable", "stronghold", "Решающий выстрел",
     "Уничтожить последнюю машину противника в бою за укрепрайон."),
    ("wolfAmongSheepMedal", "repeatable", "stronghold", "Волк в овечьей шкуре",
     "Уничтожить больше всех машин противника уровнем выше в бою за укрепрайон."),
    ("geniusForWarMedal", "repeatable", "stronghold", "Военный гений",
     "Принести команде наибольший вклад в победу в бою за укрепрайон."),
    ("forTacticalOperations", "class", "stronghold", "За тактические операции",
     "Этапная награда за победы в боях за укрепрайон."),
    ("willToWinSpirit", "repeatable", "stronghold", "Воля к победе",
     "Победить в бою за укрепрайон, уступая противнику в численности."),
    ("kingOfTheHill", "repeatable", "stronghold", "Царь горы",
     "Удержать ключевую позицию до конца боя за укрепрайон."),
    ("armoredFist", "repeatable", "stronghold", "Бронированный кулак",
     "Вся команда выжила и победила в бою за укрепрайон."),
    ("godOfWar", "repeatable", "stronghold", "Бог войны",
     "Нанести на САУ больше всех урона в бою за укрепрайон."),
    ("reliableComrade", "repeatable", "stronghold", "Надёжный товарищ",
     "Помочь союзникам больше всех в бою за укрепрайон."),
    ("battleTested", "repeatable", "stronghold", "Закалённый в боях",
     "Провести подряд много боёв за укрепрайон в составе одного клана."),
]

_HISTORICAL_BATTLES = [
    ("1", "Прохоровка"),
    ("2", "Арденны"),
    ("3", "Курская дуга"),
    ("4", "Нормандия"),
    ("5", "Операция «Багратион»"),
    ("6", "Сталинград"),
]


def _historical_rows():
    rows = []
    for number, battle in _HISTORICAL_BATTLES:
        rows.append(("histBattle" + number + "_battlefield", "repeatable", "historical",
                     "Поле битвы (" + battle + ")",
                     "Одержать победу в историческом бою «" + battle + "», сыграв решающую роль."))
        rows.append(("histBattle" + number + "_historyLessons", "single", "historical",
                     "Уроки истории (" + battle + ")",
                     "Провести исторические бои «" + battle + "» за обе стороны."))
    return rows


_ACTION = _historical_rows() + [
    ("makerOfHistory", "single", "historical", "Творец истории",
     "Одержать победы во всех исторических боях за обе стороны."),
    ("falloutSingleWolf", "repeatable", "fallout", "Одинокий волк",
     "Победить в одиночном режиме «Боя до последнего», набрав больше всех очков."),
    ("falloutPackOfWolfs", "repeatable", "fallout", "Стая",
     "Победить в «Бое до последнего» во взводе, где все набрали много очков."),
    ("falloutSteelHunter", "repeatable", "fallout", "Стальной охотник",
     "Уничтожить в «Бое до последнего» не менее 8 машин противника."),
    ("falloutDieHard", "repeatable", "fallout", "Несгибаемый",
     "Ни разу не быть уничтоженным в «Бою до последнего» и победить."),
    ("falloutAlwaysInLine", "repeatable", "fallout", "Всегда в строю",
     "Вернуться в бой после каждого уничтожения и дожить до победы в «Бою до последнего»."),
    ("stormLord", "repeatable", "fallout", "Повелитель бури",
     "Нанести больше всех урона в «Бою до последнего»."),
    ("winnerLaurels", "repeatable", "fallout", "Лавры победителя",
     "Принести команде больше всех очков победы в «Бою до последнего»."),
    ("predator", "repeatable", "fallout", "Хищник",
     "Уничтожить в «Бою до последнего» не менее 5 машин противника без возрождения."),
    ("unreachable", "repeatable", "fallout", "Недосягаемый",
     "Провести «Бой до последнего» без единого уничтожения своей машины."),
    ("champion", "repeatable", "fallout", "Чемпион",
     "Набрать наибольшее число очков в «Бою до последнего» среди всех участников."),
    ("bannerman", "repeatable", "fallout", "Знаменосец",
     "Доставить на базу больше всех флагов в «Бою до последнего»."),
    ("sauronEye", "repeatable", "fallout", "Всевидящее око",
     "Обнаружить больше всех машин противника в «Бою до последнего»."),
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
