-- The club's tables, as the installer creates them on MySQL.

DROP TABLE IF EXISTS `outings`;
DROP TABLE IF EXISTS `members`;
DROP TABLE IF EXISTS `boats`;

CREATE TABLE `boats` (
  `id` int(10) unsigned NOT NULL AUTO_INCREMENT,
  `name` varchar(60) NOT NULL,
  `seats` tinyint(3) unsigned NOT NULL DEFAULT '1',
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8;

CREATE TABLE `members` (
  `id` int(10) unsigned NOT NULL AUTO_INCREMENT,
  `name` varchar(80) NOT NULL,
  `email` varchar(120) NOT NULL,
  `boat_id` int(10) unsigned DEFAULT NULL,
  `joined` date NOT NULL,
  `active` tinyint(1) NOT NULL DEFAULT '1',
  PRIMARY KEY (`id`),
  UNIQUE KEY `email` (`email`),
  KEY `boat_id` (`boat_id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8;

CREATE TABLE `outings` (
  `id` int(10) unsigned NOT NULL AUTO_INCREMENT,
  `member_id` int(10) unsigned NOT NULL,
  `rowed_on` date NOT NULL,
  `distance_km` decimal(5,1) NOT NULL DEFAULT '0.0',
  PRIMARY KEY (`id`),
  KEY `member_id` (`member_id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8;
