#pragma once

namespace torvane::testing {

// A small prefix database shaped like the shipped one, with the cases the lookup rules turn
// on: an exact-call key marked "!", a portable pair key, a link to no entity, Null columns,
// entity dates and an old key, designators, the United States' multi-zone markers.
inline constexpr const char* kSamplePrefixRows = R"sql(
      INSERT INTO Prefixes (ID, master_prefix, DXCC, Country, Continent, Latitude, Longitude,
                            Time_Offset, CQ_Zone, ITU_Zone, Abbreviation, Begin_Date, End_Date)
      VALUES
        (1, 'K', 291, 'United States', 'NA', 37.6, -91.87, 5, '03/04/05', '06/07/08', 'USA',
         NULL, NULL),
        (2, 'KH6', 110, 'Hawaii', 'OC', 21.12, -157.48, 10, '31', '61', 'HI', NULL, NULL),
        (3, 'DL', 230, 'Fed. Rep. of Germany', 'EU', 51, 10, -1, ' 14 ', '28', 'DEU', NULL,
         NULL),
        (4, 'FO/M', 509, 'Marquesas Islands', 'OC', -8.92, -140.07, -9.5, '31', '63', NULL,
         NULL, NULL),
        (5, 'KG4', 105, 'Guantanamo Bay', 'NA', 20, -75, 5, '8', '11', NULL, NULL, NULL),
        (6, 'VP8', 141, 'Falkland Islands', 'SA', -51.63, -58.72, 4, '13', '16', NULL, NULL,
         NULL),
        (7, 'Y2', 229, 'German Dem. Rep.', 'EU', 52, 13, -1, '14', '28', 'DDR', NULL,
         '10/2/1990'),
        (8, 'ZZ', NULL, 'Nowhere', NULL, NULL, NULL, NULL, '5', NULL, NULL, NULL, NULL),
        (9, 'VK0', 111, 'Heard Island', 'AF', -53, 73.5, -5, '39', '68', NULL, '1/1/1990',
         NULL),
        (10, 'K', 291, 'United States (second row)', 'NA', 40, -80, 5, '5', '8', NULL, NULL,
         NULL),
        (11, 'G', 223, 'England', 'EU', 51.5, 0, 0, '14', '27', 'ENG', NULL, NULL),
        (12, '3D2/C', 489, 'Conway Reef', 'OC', -22, 175, -12, '32', '56', NULL, NULL, NULL);
      INSERT INTO plink (prefix, plink, inactive) VALUES
        ('K', 1, NULL), ('W', 1, NULL), ('N', 1, NULL), ('AA', 1, NULL),
        ('KH6', 2, NULL), ('DL', 3, NULL), ('FO/M', 4, NULL), ('KG4', 5, NULL),
        ('VP8', 6, NULL), ('Y2', 7, NULL), ('ZZ', 8, NULL), ('VK0', 9, NULL),
        ('W1AW', 3, '!'), ('KH7/W1XX', 2, NULL), ('DL0', 99, NULL), ('G', 11, NULL),
        ('3D2/C', 12, NULL);
      INSERT INTO plinkold (prefix, Before, plink) VALUES ('DL0', '1994', 7), ('VK0X', '95', 6);
    )sql";

}  // namespace torvane::testing
