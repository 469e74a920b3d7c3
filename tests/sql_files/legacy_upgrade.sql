#
# Guestbook and photo album, install script of 2003 (MySQL 4.0) followed by
# the upgrade scripts of the releases since, as the installer runs them.
#

CREATE TABLE gb_entries (
  id int(11) NOT NULL auto_increment,
  name varchar(40) NOT NULL default '',
  hits int(11) NOT NULL default '',
  posted timestamp(14) NOT NULL,
  edited timestamp(14) NOT NULL,
  message text NOT NULL,
  PRIMARY KEY  (id),
  KEY name (name)
) TYPE=MyISAM;

CREATE TABLE gb_flags (
  entry_id int(11) NOT NULL default '0',
  flags bit(8) NOT NULL default b'0',
  PRIMARY KEY  (entry_id)
) TYPE=MyISAM;

# '' for the id and for numbers, as scripts of the time wrote them.
INSERT INTO gb_entries VALUES ('', 'Ann', '', 20030201100000, 20030201100000, 'First!');
INSERT INTO gb_entries VALUES ('', 'Bob', '7', 20030202113000, 0, 'Hi Ann');
INSERT INTO gb_flags VALUES (1, '\n'), (2, '');

# 1.1: longer names, the counter becomes unsigned.
ALTER TABLE gb_entries MODIFY name varchar(80) NOT NULL default '';
ALTER TABLE gb_entries CHANGE hits views int(10) unsigned NOT NULL default 0;

# 1.2: the table is renamed and rebuilt under its old name.
RENAME TABLE gb_entries TO gb_entries_old;
CREATE TABLE gb_entries (
  id int(11) NOT NULL auto_increment,
  name varchar(80) NOT NULL default '',
  views int(10) unsigned NOT NULL default 0,
  posted datetime NOT NULL default '0000-00-00 00:00:00',
  message text NOT NULL,
  PRIMARY KEY  (id),
  KEY name (name)
) TYPE=MyISAM;
INSERT INTO gb_entries (id, name, views, posted, message)
  SELECT id, name, views, posted, message FROM gb_entries_old;
INSERT INTO gb_entries (name, message) VALUES ('Carl', 'After the upgrade');
ALTER TABLE gb_entries_old DROP PRIMARY KEY, ADD PRIMARY KEY (id, views), MODIFY name varchar(120) NOT NULL;
CREATE TABLE IF NOT EXISTS gb_entries (id int);
INSERT INTO gb_entries (name, message) VALUES ('Dora', 'Still an identity');

# 1.3: the counter table of the album.
CREATE TABLE album_stats (
  photo int(11) NOT NULL default 0,
  seq int(11) NOT NULL default 0,
  score varchar(8) NOT NULL default '0',
  touched timestamp NOT NULL DEFAULT CURRENT_TIMESTAMP
) TYPE=MyISAM;
INSERT INTO album_stats (photo, seq, score) VALUES (1, 5, '3'), (2, 9, '12');
ALTER TABLE album_stats MODIFY seq int(11) NOT NULL auto_increment, ADD PRIMARY KEY (seq);
ALTER TABLE album_stats MODIFY score int(11) NOT NULL default 0;
ALTER TABLE album_stats MODIFY touched timestamp NOT NULL DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP;
ALTER TABLE album_stats ADD changed timestamp NOT NULL DEFAULT '2000-01-01 00:00:00' ON UPDATE CURRENT_TIMESTAMP;
ALTER TABLE album_stats CHANGE touched created timestamp NOT NULL DEFAULT CURRENT_TIMESTAMP;
INSERT INTO album_stats (photo, score) VALUES (3, 1);
