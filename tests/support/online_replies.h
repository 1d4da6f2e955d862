#pragma once

// Replies of the QRZ XML service in the shapes real replies have (root namespace and version,
// Remark, a day padded with a blank in GMTime), with made-up people, and of the maker's look-up.
namespace torvane::testing {

inline constexpr const char* kQrzLoginReply = R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.33" xmlns="http://xmldata.qrz.com">
<Session>
<Key>3b1fd1d3ba495189984f93ff67bd45b6</Key>
<Count>61</Count>
<SubExp>Sun Dec 29 00:00:00 2026</SubExp>
<GMTime>Sun Nov 22 21:25:34 2026</GMTime>
<Remark>cpu: 0.147s</Remark>
</Session>
</QRZDatabase>
)";

inline constexpr const char* kQrzBadPasswordReply = R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
<Session>
<Error>Username/password incorrect</Error>
<GMTime>Sun Nov 22 21:25:34 2026</GMTime>
</Session>
</QRZDatabase>
)";

inline constexpr const char* kQrzCallReply = R"(<?xml version="1.0" encoding="utf-8"?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
<Callsign>
<call>K6XYZ</call>
<aliases>KM6ABC</aliases>
<dxcc>291</dxcc>
<nickname>Pat</nickname>
<fname>Patricia A</fname>
<name>Sample</name>
<addr1>123 W EXAMPLE AVE</addr1>
<addr2>ANAHEIM</addr2>
<state>CA</state>
<zip>92804</zip>
<country>United States</country>
<lat>33.825460</lat>
<lon>-117.987510</lon>
<grid>DM13at</grid>
<county>Orange</county>
<ccode>271</ccode>
<fips>06059</fips>
<land>United States</land>
<efdate>2021-01-13</efdate>
<expdate>2027-11-07</expdate>
<class>G</class>
<codes>HVIE</codes>
<email>k6xyz@example.com</email>
<u_views>1569</u_views>
<bio>6399</bio>
<biodate>2022-02-26 00:51:44</biodate>
<image>https://cdn-xml.qrz.com/e/k6xyz/qsl.png</image>
<imageinfo>285:545:99376</imageinfo>
<moddate>2021-04-08 21:41:07</moddate>
<MSA>5945</MSA>
<AreaCode>714</AreaCode>
<TimeZone>Pacific</TimeZone>
<GMTOffset>-8</GMTOffset>
<DST>Y</DST>
<eqsl>0</eqsl>
<mqsl>1</mqsl>
<cqzone>3</cqzone>
<ituzone>6</ituzone>
<born>1967</born>
<lotw>1</lotw>
<user>K6XYZ</user>
<geoloc>geocode</geoloc>
<name_fmt>Patricia A "Pat" Sample</name_fmt>
</Callsign>
<Session>
<Key>3b1fd1d3ba495189984f93ff67bd45b6</Key>
<Count>4140</Count>
<SubExp>Sun Dec 29 00:00:00 2026</SubExp>
<GMTime>Sun May  1 20:00:36 2026</GMTime>
<Remark>cpu: 0.022s</Remark>
</Session>
</QRZDatabase>
)";

// An older reply: the position only in latd/lond, a DX address, an IOTA, a QSL manager with
// an entity left as the service wrote it, a previous call and a web page.
inline constexpr const char* kQrzDxCallReply = R"(<?xml version="1.0" ?>
<QRZDatabase version="1.33">
  <Callsign>
      <call>F5ZZZ</call>
      <xref>HR5/F5ZZZ</xref>
      <fname>JEAN-LUC</fname>
      <name>EXEMPLE</name>
      <addr1>12 RUE DU PORT</addr1>
      <addr2>LE PALAIS</addr2>
      <zip>56360</zip>
      <country>France</country>
      <latd>47.345</latd>
      <lond>-3.155</lond>
      <grid>IN87kh</grid>
      <iota>EU-048</iota>
      <p_call>F6ZZY</p_call>
      <class>P</class>
      <qslmgr>VIA F6AJA &amp; BUREAU</qslmgr>
      <url>http://f5zzz.example.fr</url>
  </Callsign>
  <Session>
      <Key>1232u4eaf13b8336d61982c1fd1099c9a38ac</Key>
      <GMTime>Sun Nov 16 04:13:46 2026</GMTime>
  </Session>
</QRZDatabase>
)";

inline constexpr const char* kQrzNotFoundReply = R"(<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
<Session>
<Error>Not found: K6ZZZ</Error>
<Key>3b1fd1d3ba495189984f93ff67bd45b6</Key>
<Count>9581729</Count>
<SubExp>Sun Dec 29 00:00:00 2026</SubExp>
<GMTime>Tue Apr  6 17:22:01 2026</GMTime>
<Remark>cpu: 0.034s</Remark>
</Session>
</QRZDatabase>
)";

inline constexpr const char* kQrzSessionTimeoutReply = R"(<?xml version="1.0" encoding="utf-8" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
<Session>
<Error>Session Timeout</Error>
<GMTime>Tue Apr  6 17:22:01 2026</GMTime>
<Remark>cpu: 0.010s</Remark>
</Session>
</QRZDatabase>
)";

inline constexpr const char* kQrzSubscriptionMessageReply = R"(<?xml version="1.0" ?>
<QRZDatabase version="1.34" xmlns="http://xmldata.qrz.com">
<Callsign>
<call>K6XYZ</call>
<fname>Patricia A</fname>
<name>Sample</name>
<addr2>Anaheim</addr2>
<country>United States</country>
</Callsign>
<Session>
<Key>3b1fd1d3ba495189984f93ff67bd45b6</Key>
<Message>A subscription is required to obtain the complete data.</Message>
</Session>
</QRZDatabase>
)";

inline constexpr const char* kNuvexCallReply =
    "<Callsign><Call>W1XYZ</Call><Name>Robert J</Name><name>Sample</name>"
    "<Street>12 OAK LANE</Street><City>NEWINGTON</City><County>Hartford</County>"
    "<State>CT</State><Zip>06111</Zip><Country>United States</Country><Class>E</Class>"
    "<p_call>KA1XYZ</p_call><Grid>FN31pr</Grid><Latitude>41.6977</Latitude>"
    "<Longitude>-72.7245</Longitude><Email>w1xyz@example.net</Email>"
    "<OwnDomain>http://w1xyz.example.net</OwnDomain><qslmgr>DIRECT</qslmgr>"
    "<Bio>Licensed in 1975 &amp; active on CW.</Bio><image>http://w1xyz.example.net/me.jpg</image>"
    "<Last>2026-06-20 14:02</Last><Mode>CW</Mode><Frequency>14.025</Frequency></Callsign>";

}  // namespace torvane::testing
