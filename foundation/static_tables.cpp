#include "foundation/static_tables.h"

constinit const std::array<std::u16string_view, kWaypointSymbolCount> g_symbolNamesEn { u"", u"Airport",
    u"Bank", u"Bar", u"Beach", u"Boat ramp", u"Bridge", u"Building", u"Campground", u"Car", u"Car repair",
    u"Cemetery", u"Church", u"City(large)", u"City(medium)", u"City(small)", u"Convenience store",
    u"Crossing", u"Cross-roads", u"Dam", u"Danger area", u"Drag-store", u"Drinking water", u"Fast food",
    u"Fishing area", u"Fitness center", u"Forest", u"Gas station", u"Golf course", u"Heliport", u"Home",
    u"Hospital", u"Hotel", u"House", u"Hunting area", u"Information", u"Kiosk", u"Lake", u"Levee",
    u"Live theater", u"Man overboard", u"Medical facility", u"Military", u"Mine", u"Movie theater", u"Office",
    u"Oil field", u"Orientation", u"Parachute area", u"Park", u"Parking area", u"Partners", u"Picnic area",
    u"Police", u"Post office", u"Private field", u"Rail road", u"Residence", u"Restaurant", u"Restroom",
    u"River", u"School", u"Seaplane base", u"Shipwreck", u"Shopping center", u"Short tower", u"Shower",
    u"Skiing area", u"Stream", u"Summit", u"Swimming area", u"Tall Tower", u"Telephone", u"Toll Booth",
    u"Trail head", u"Truck stop", u"Tunnel", u"Village", u"Waypoint", u"Work" };

constinit const std::array<std::u16string_view, kWaypointSymbolCount> g_symbolNamesRu { u"", u"Аэропорт",
    u"Банк", u"Бар", u"Пляж", u"Причал", u"Мост", u"Здание", u"Кемпинг", u"Автомобиль", u"Автосервис",
    u"Кладбище", u"Церковь", u"Город(крупный)", u"Город(средний)", u"Город(маленький)", u"Магазин",
    u"Переезд или переход", u"Перекресток", u"Дамба", u"Опасная зона", u"Аптека", u"Питьевая вода", u"Кафе",
    u"Рыбалка", u"Оздоровительный центр", u"Лес", u"АЗС", u"Поле для гольфа", u"Вертолетная площадка", u"Дом",
    u"Больница", u"Гостиница", u"Строение", u"Охотничьи угодья", u"Справочная", u"Киоск", u"Озеро", u"Насыпь",
    u"Театр", u"Спасательная станция", u"Медпункт", u"Военный объект", u"Шахта", u"Кинотеатр", u"Офис",
    u"Нефтепромысел", u"Ориентир", u"Парашют", u"Парк", u"Стоянка", u"Партнеры", u"Туристская зона",
    u"Милиция", u"Почта", u"Частные владения", u"Железная дорога", u"Местожительства", u"Ресторан", u"Туалет",
    u"Река", u"Школа", u"База гидросамолетов", u"Кораблекрушение", u"Торговый центр", u"Невысокая башня",
    u"Душ", u"Лыжня", u"Ручей", u"Вершина", u"Место для купания", u"Высокая башня", u"Телефон",
    u"Платная дорога", u"Начало тропы", u"Стоянка грузового транспорта", u"Туннель", u"Деревня",
    u"Точка маршрута", u"Работа" };

constinit const std::array<std::u16string_view, kWaypointColourCount> g_colourNamesEn { u"Blue", u"Red",
    u"Green", u"Yellow", u"White", u"Black" };
constinit const std::array<std::u16string_view, kWaypointColourCount> g_colourNamesRu { u"Синий", u"Красный",
    u"Зеленый", u"Желтый", u"Белый", u"Черный" };

constinit const std::u16string_view g_cyrillicCharset
    = u"абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";

constinit const std::u16string_view g_fullCharset = u" "
                                                    u"абвгдежзийклмнопрстуфхцчшщъыьэюя"
                                                    u"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
                                                    u"abcdefghijklmnopqrstuvwxyz"
                                                    u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                    u"0123456789"
                                                    u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"
                                                    u"„…†‡‰‹‘’“”•–—™›¤¦§Ё©Є«®°±ё№»";

std::span<const std::u16string_view> WaypointSymbolNames(int language)
{
    switch (language) {
    case 0:
        return g_symbolNamesEn;
    case 1:
        return g_symbolNamesRu;
    default:
        return {};
    }
}

std::span<const std::u16string_view> WaypointColourNames(int language)
{
    switch (language) {
    case 0:
        return g_colourNamesEn;
    case 1:
        return g_colourNamesRu;
    default:
        return {};
    }
}

QString& WaypointEditDialogFolder()
{
    static QString folder = QStringLiteral("\\My Documents\\");
    return folder;
}

QString& WaypointPropertiesDialogFolder()
{
    static QString folder = QStringLiteral("\\My Documents\\");
    return folder;
}
