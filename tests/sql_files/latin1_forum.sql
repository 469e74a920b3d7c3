-- Old forum dump in latin1
/*!40101 SET NAMES latin1 */;

DROP TABLE IF EXISTS `forum_post`;
CREATE TABLE `forum_post` (
  `id` int(11) NOT NULL auto_increment,
  `author` varchar(40) NOT NULL,
  `text` text NOT NULL,
  `price` varchar(10) default NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=latin1;

INSERT INTO `forum_post` VALUES (1,'J¸rgen','Schˆne Gr¸ﬂe aus Kˆln','5 Ä'),(2,'FranÁoise','ìQuotedî ‡ la franÁaise\\','£ 3'),(3,'Ole','∆ÿ≈ Å undefined in cp1252',NULL);
